import QtQuick
import QtQuick.Controls.Basic
import Tender

// What a right click on a person offers; close circles can also be moved.
Menu {
    id: control
    property var contact
    property bool movable: false
    property int closeIndex
    property int closeCount

    MenuItem {
        objectName: "edit"
        text: "Изменить"
        onTriggered: AppModel.route = Routes.edit(control.contact.id)
    }
    MenuItem {
        objectName: "closeness"
        text: control.contact.close ? "Убрать из близких" : "В близкие"
        onTriggered: AppModel.setClose(control.contact, !control.contact.close)
    }
    MenuItem {
        id: left
        objectName: "left"
        text: "Левее"
        enabled: control.closeIndex > 0
        onTriggered: AppModel.move(control.contact, -1)
    }
    MenuItem {
        id: right
        objectName: "right"
        text: "Правее"
        enabled: control.closeIndex < control.closeCount - 1
        onTriggered: AppModel.move(control.contact, 1)
    }
    MenuItem {
        objectName: "copyID"
        text: "Скопировать id для устройства"
        onTriggered: Pasteboard.copy(control.contact.id)
    }

    Component.onCompleted: {
        if (!movable) {
            removeItem(left)
            removeItem(right)
        }
    }
}
