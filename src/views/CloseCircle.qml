import QtQuick
import QtQuick.Templates as T
import Tender

// One close person: a click sends a heart.
T.Button {
    id: control
    property var contact
    property int position
    property int count
    property var circles
    readonly property var swatch: AppModel.color(contact)
    readonly property bool justSent: AppModel.sent === contact.id
    readonly property bool hot: justSent || circles.hovered === contact.id

    objectName: "circle-" + contact.id
    width: 50
    height: 50
    hoverEnabled: true
    Accessible.name: contact.label
    onClicked: AppModel.send(contact)
    onHoveredChanged: {
        if (hovered)
            circles.hovered = contact.id
        else if (circles.hovered === contact.id)
            circles.hovered = ""
    }

    scale: hot ? 1.08 : 1.0
    Behavior on scale { NumberAnimation { duration: 150; easing.type: Easing.OutQuad } }

    background: Rectangle {
        radius: width / 2
        color: control.justSent ? control.swatch.color : control.swatch.tint
        border.width: 3
        border.color: control.swatch.color
        Behavior on color { ColorAnimation { duration: 150; easing.type: Easing.OutQuad } }
    }
    contentItem: Item {
        Body {
            objectName: "circleInitial"
            anchors.centerIn: parent
            text: control.justSent ? "♥" : Texts.initial(control.contact.label)
            size: 18
            weight: Font.Bold
            color: control.justSent ? Theme.paper : control.swatch.deep
        }
    }

    Hint {
        text: control.contact.label
        shown: control.hovered
    }
    TapHandler {
        acceptedButtons: Qt.RightButton
        onTapped: menu.popup()
    }
    ContactMenu {
        id: menu
        objectName: "menu"
        contact: control.contact
        movable: true
        closeIndex: control.position
        closeCount: control.count
    }
}
