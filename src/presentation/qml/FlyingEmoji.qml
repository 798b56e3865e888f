import QtQuick

// One emoji rising along its curve; it holds its first frame while it waits
// and its last (invisible) frame after it lands.
Text {
    id: emoji
    objectName: "emoji"

    required property var flight

    text: flight.glyph
    font.family: "Noto Color Emoji"
    font.pixelSize: flight.size
    width: flight.box
    height: flight.box
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    x: flight.start.x - width / 2
    y: flight.start.y - height / 2
    opacity: 0
    scale: flight.scale.from

    component OpacityStep: OpacityAnimator {
        required property var step
        target: emoji
        from: step.from
        to: step.to
        duration: step.duration
        easing.type: Easing.BezierSpline
        easing.bezierCurve: step.curve
    }

    component RotationStep: RotationAnimator {
        required property var step
        target: emoji
        from: step.from
        to: step.to
        duration: step.duration
        direction: RotationAnimator.Numerical
        easing.type: Easing.BezierSpline
        easing.bezierCurve: step.curve
    }

    SequentialAnimation {
        running: true

        PauseAnimation { duration: emoji.flight.delay }

        ParallelAnimation {
            PathAnimation {
                target: emoji
                duration: emoji.flight.duration
                anchorPoint: Qt.point(emoji.width / 2, emoji.height / 2)
                easing.type: Easing.BezierSpline
                easing.bezierCurve: emoji.flight.curve
                path: Path {
                    startX: emoji.flight.start.x
                    startY: emoji.flight.start.y
                    PathCubic {
                        x: emoji.flight.end.x
                        y: emoji.flight.end.y
                        control1X: emoji.flight.control1.x
                        control1Y: emoji.flight.control1.y
                        control2X: emoji.flight.control2.x
                        control2Y: emoji.flight.control2.y
                    }
                }
            }
            ScaleAnimator {
                target: emoji
                from: emoji.flight.scale.from
                to: emoji.flight.scale.to
                duration: emoji.flight.scale.duration
                easing.type: Easing.BezierSpline
                easing.bezierCurve: emoji.flight.scale.curve
            }
            SequentialAnimation {
                OpacityStep { step: emoji.flight.opacity[0] }
                OpacityStep { step: emoji.flight.opacity[1] }
                OpacityStep { step: emoji.flight.opacity[2] }
            }
            SequentialAnimation {
                RotationStep { step: emoji.flight.rotation[0] }
                RotationStep { step: emoji.flight.rotation[1] }
                RotationStep { step: emoji.flight.rotation[2] }
            }
        }
    }
}
