import QtQuick
import Tender

// The track and knob of a switch at the small control size.
Rectangle {
    id: control
    objectName: "track"
    property bool checked: false
    implicitWidth: 32
    implicitHeight: 20
    radius: height / 2
    color: checked ? Theme.switchTint : Theme.switchOff
    Behavior on color { ColorAnimation { duration: 150 } }

    Rectangle {
        width: parent.height - 4
        height: width
        radius: width / 2
        y: 2
        x: control.checked ? parent.width - width - 2 : 2
        color: Theme.white
        border.width: 1
        border.color: Theme.hairline
        Behavior on x { NumberAnimation { duration: 150; easing.type: Easing.OutQuad } }
    }
}
