import QtQuick
import QtQuick.Layouts
import Tender

RowLayout {
    spacing: 10

    Body {
        text: "Вход через Apple появится позже"
        size: 12.5
        color: Theme.muted
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
    SignInTextButton {
        objectName: "quit"
        text: "Закрыть"
        color: Theme.muted
        onClicked: Qt.quit()
    }
}
