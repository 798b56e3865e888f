import QtQuick
import QtQuick.Layouts
import Tender

// The device just paired and its token, shown this once.
ColumnLayout {
    id: card
    objectName: "tokenCard"
    property string name
    property string token
    property bool copied: false
    signal copy()
    signal done()
    spacing: 10

    Row {
        spacing: 6
        Symbol {
            anchors.verticalCenter: parent.verticalCenter
            name: "checkmark"
            size: 14
            color: Theme.ok
        }
        Body {
            objectName: "pairedTitle"
            anchors.verticalCenter: parent.verticalCenter
            text: "«" + card.name + "» подключено"
            color: Theme.ok
        }
    }
    Rectangle {
        radius: 8
        color: Theme.white
        border.width: 1
        border.color: Theme.hairline
        implicitHeight: tokenText.implicitHeight + 20
        Layout.fillWidth: true
        TextEdit {
            id: tokenText
            objectName: "token"
            x: 10
            y: 10
            width: parent.width - 20
            text: card.token
            readOnly: true
            selectByMouse: true
            wrapMode: TextEdit.WrapAnywhere
            color: Theme.ink
            selectionColor: Theme.well
            selectedTextColor: Theme.ink
            font.family: "monospace"
            font.pixelSize: Theme.px(12)
            Accessible.name: "Токен устройства"
        }
    }
    Note {
        text: "Это токен устройства. Мы покажем его только сейчас: скопируй и вставь в прошивку. С ним можно отправлять сердечки от твоего имени, так что никому не показывай."
        Layout.fillWidth: true
    }
    // equal preferred widths: the buttons share the row equally
    RowLayout {
        spacing: 8
        Layout.fillWidth: true
        PrimaryButton {
            objectName: "copyToken"
            text: card.copied ? "Скопировано" : "Скопировать токен"
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            onClicked: card.copy()
            Keys.onReturnPressed: card.copy()
            Keys.onEnterPressed: card.copy()
        }
        SecondaryButton {
            objectName: "tokenDone"
            text: "Готово"
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            onClicked: card.done()
        }
    }
}
