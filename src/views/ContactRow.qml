import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Tender

// One person in a list: a click sends a heart.
RowLayout {
    id: control
    property var contact
    property bool star: false
    readonly property var swatch: AppModel.color(contact)
    readonly property bool justSent: AppModel.sent === contact.id
    spacing: 4

    T.Button {
        id: row
        objectName: "row-" + control.contact.id
        implicitHeight: 42
        leftPadding: 10
        rightPadding: 10
        hoverEnabled: true
        Layout.fillWidth: true
        Accessible.name: control.contact.label
        onClicked: AppModel.send(control.contact)

        contentItem: RowLayout {
            spacing: 12
            Avatar {
                label: control.contact.label
                swatch: control.swatch
                size: 30
            }
            Body {
                objectName: "name"
                text: control.contact.label
                size: 14.5
                weight: Font.Medium
                maximumLineCount: 1
                elide: Text.ElideRight
                Layout.fillWidth: true
            }
            Body {
                visible: control.justSent
                text: "Улетело ♥"
                size: 12.5
                strong: true
                color: control.swatch.deep
            }
        }
        background: Rectangle {
            radius: 11
            color: control.swatch.tint
            opacity: control.justSent ? 1.0 : row.hovered ? 0.6 : 0.0
            Behavior on opacity { NumberAnimation { duration: 200; easing.type: Easing.OutQuad } }
        }
        TapHandler {
            acceptedButtons: Qt.RightButton
            onTapped: menu.popup()
        }
        ContactMenu {
            id: menu
            objectName: "menu"
            contact: control.contact
        }
    }
    Loader {
        active: control.star
        visible: active
        sourceComponent: StarButton {
            contact: control.contact
        }
    }
}
