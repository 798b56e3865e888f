import QtQuick
import QtQuick.Layouts
import Tender

// Who is signed in, signing out, deleting the account, quitting, the version.
ColumnLayout {
    spacing: 6

    AccountDeletion {
        id: deletion
    }

    RowLayout {
        Layout.fillWidth: true
        Body {
            objectName: "email"
            text: AppModel.email
            color: Theme.muted
            elide: Text.ElideRight
            maximumLineCount: 1
            Layout.fillWidth: true
        }
        TextButton {
            objectName: "signOut"
            text: "Выйти"
            onClicked: AppModel.signOut()
        }
    }
    RowLayout {
        visible: !deletion.confirming
        Layout.fillWidth: true
        TextButton {
            objectName: "deleteAccount"
            text: "Удалить аккаунт"
            tint: Theme.danger
            onClicked: deletion.confirming = true
        }
        Item {
            Layout.fillWidth: true
        }
        TextButton {
            objectName: "quitApp"
            text: "Закрыть приложение"
            tint: Theme.muted
            onClicked: Qt.quit()
        }
    }
    Body {
        objectName: "deleteQuestion"
        visible: deletion.confirming
        text: "Удалить аккаунт и весь список? Это навсегда."
        size: 12.5
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
    RowLayout {
        visible: deletion.confirming
        spacing: 12
        Layout.fillWidth: true
        TextButton {
            objectName: "keepAccount"
            text: "Не удалять"
            tint: Theme.muted
            onClicked: deletion.confirming = false
        }
        TextButton {
            objectName: "deleteForever"
            text: "Удалить навсегда"
            tint: Theme.danger
            onClicked: deletion.confirm()
        }
    }
    Body {
        objectName: "deleteError"
        visible: deletion.error !== ""
        text: deletion.error
        size: 12
        color: Theme.danger
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
    Body {
        objectName: "version"
        text: "Версия " + AppModel.version()
        size: 12
        color: Theme.faint
    }
}
