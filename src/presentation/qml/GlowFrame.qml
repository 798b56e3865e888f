import QtQuick

// The blurred frame along the screen's edges, drawn once and animated only in opacity.
Item {
    id: glow
    objectName: "glow"

    required property var plan

    anchors.fill: parent
    opacity: 0

    Repeater {
        model: glow.plan.pieces

        Image {
            required property var modelData
            source: modelData.source
            x: modelData.x
            y: modelData.y
            width: modelData.width
            height: modelData.height
            cache: false
            smooth: false
        }
    }

    component Step: OpacityAnimator {
        required property var step
        target: glow
        from: step.from
        to: step.to
        duration: step.duration
        easing.type: Easing.BezierSpline
        easing.bezierCurve: step.curve
    }

    Component {
        id: blink
        SequentialAnimation {
            Step { step: glow.plan.steps[0] }
            Step { step: glow.plan.steps[1] }
            Step { step: glow.plan.steps[2] }
            Step { step: glow.plan.steps[3] }
            Step { step: glow.plan.steps[4] }
            Step { step: glow.plan.steps[5] }
        }
    }

    Component {
        id: fade
        SequentialAnimation {
            Step { step: glow.plan.steps[0] }
            Step { step: glow.plan.steps[1] }
            Step { step: glow.plan.steps[2] }
        }
    }

    Component.onCompleted: (glow.plan.steps.length === 6 ? blink : fade).createObject(glow).start()
}
