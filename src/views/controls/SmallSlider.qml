import QtQuick
import QtQuick.Templates as T
import Tender

// A small slider tinted with the heart colour; dims while disabled.
T.Slider {
    id: control
    implicitWidth: 200
    implicitHeight: 20
    snapMode: T.Slider.SnapAlways
    opacity: enabled ? 1.0 : 0.45

    background: Item {
        x: control.leftPadding
        y: control.topPadding + (control.availableHeight - height) / 2
        width: control.availableWidth
        height: 4
        Rectangle {
            anchors.fill: parent
            radius: 2
            color: Theme.well
        }
        Rectangle {
            width: control.handle.x - control.leftPadding + control.handle.width / 2
            height: parent.height
            radius: 2
            color: Theme.heart
        }
    }
    handle: Rectangle {
        x: control.leftPadding + control.visualPosition * (control.availableWidth - width)
        y: control.topPadding + (control.availableHeight - height) / 2
        width: 16
        height: 16
        radius: 8
        color: control.pressed ? Theme.field : Theme.white
        border.width: control.activeFocus ? 2 : 1
        border.color: control.activeFocus ? Theme.heart : Theme.hairline
    }
}
