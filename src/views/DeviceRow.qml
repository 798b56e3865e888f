import QtQuick
import QtQuick.Layouts
import Tender

// One paired device; removing it asks first.
Rectangle {
    id: row
    property var device
    property string details
    property bool confirming: false
    signal ask()
    signal cancel()
    signal remove()
    objectName: "device-" + device.id
    implicitHeight: 46
    radius: 10
    color: Theme.field

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 10
        anchors.rightMargin: 10
        spacing: 8

        ColumnLayout {
            spacing: 2
            Layout.fillWidth: true
            Body {
                objectName: "deviceName"
                text: row.device.name
                size: 13.5
                weight: Font.Medium
                elide: Text.ElideRight
                maximumLineCount: 1
                Layout.fillWidth: true
            }
            Body {
                objectName: "deviceDetails"
                text: row.details
                size: 11.5
                color: Theme.faint
                // a long "был онлайн …" shrinks a little before it is cut
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: 10
                elide: Text.ElideRight
                maximumLineCount: 1
                Layout.fillWidth: true
            }
        }
        TextButton {
            objectName: "keepDevice"
            visible: row.confirming
            text: "Нет"
            size: 12.5
            tint: Theme.muted
            onClicked: row.cancel()
        }
        TextButton {
            objectName: "removeDevice"
            visible: row.confirming
            text: "Отключить"
            size: 12.5
            tint: Theme.danger
            onClicked: row.remove()
        }
        IconButton {
            objectName: "askRemove"
            visible: !row.confirming
            symbol: "trash"
            help: "Отключить"
            tint: Theme.muted
            onClicked: row.ask()
        }
    }
}
