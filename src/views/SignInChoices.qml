import QtQuick
import QtQuick.Layouts
import Tender

// The two ways in, before the e-mail form is opened.
ColumnLayout {
    required property SignInForm form
    spacing: 8

    PrimaryButton {
        id: google
        objectName: "google"
        text: AppModel.waitingForBrowser ? "Продолжи в браузере…" : "Войти через Google"
        Layout.fillWidth: true
        onClicked: form.signInWithGoogle()
        Keys.onReturnPressed: form.signInWithGoogle()
        Keys.onEnterPressed: form.signInWithGoogle()
        contentItem: Item {
            implicitWidth: label.implicitWidth
            implicitHeight: label.implicitHeight
            RowLayout {
                id: label
                anchors.centerIn: parent
                width: Math.min(implicitWidth, parent.width)
                spacing: 7
                Symbol {
                    name: "globe"
                    size: 16
                    color: Theme.paper
                }
                Body {
                    objectName: "googleLabel"
                    text: google.text
                    size: 14
                    strong: true
                    color: Theme.paper
                    elide: Text.ElideRight
                    Layout.fillWidth: true
                }
            }
        }
    }
    SecondaryButton {
        objectName: "withEmail"
        text: "Войти по почте"
        Layout.fillWidth: true
        onClicked: form.showEmailForm()
        Keys.onReturnPressed: form.showEmailForm()
        Keys.onEnterPressed: form.showEmailForm()
    }
}
