import QtQuick
import QtQuick.Layouts
import Tender

ColumnLayout {
    objectName: "signInView"
    spacing: 10

    Body {
        text: "Вход"
        size: 15
        strong: true
    }
    Note {
        text: "Войди, чтобы посылать сердечки своим людям."
        Layout.fillWidth: true
    }
    Body {
        visible: AppModel.problem !== ""
        text: AppModel.problem
        size: 12
        color: Theme.danger
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
    PrimaryButton {
        objectName: "google"
        text: AppModel.waitingForBrowser ? "Ждём браузер…" : "Войти через Google"
        enabled: !AppModel.waitingForBrowser
        Layout.fillWidth: true
        onClicked: AppModel.signInWithGoogle()
    }
    SmallButton {
        text: "Закрыть"
        Layout.fillWidth: true
        onClicked: Qt.quit()
    }
}
