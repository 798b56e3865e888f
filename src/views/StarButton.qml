import QtQuick
import QtQuick.Templates as T
import Tender

T.Button {
    id: control
    property var contact
    readonly property bool close: contact.close
    readonly property string help: close ? "Убрать из близких" : "В близкие"
    objectName: "star-" + contact.id
    implicitWidth: 32
    implicitHeight: 32
    hoverEnabled: true
    Accessible.name: help
    onClicked: AppModel.setClose(contact, !close)

    contentItem: Item {
        Symbol {
            anchors.centerIn: parent
            name: control.close ? "star.fill" : "star"
            size: 17
            color: control.close ? Theme.starOn : Theme.starOff
        }
    }
    background: Item {}
    Hint {
        text: control.help
        shown: control.hovered
    }
}
