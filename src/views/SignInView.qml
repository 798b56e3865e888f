import QtQuick
import QtQuick.Layouts
import Tender

// Shown while nobody is signed in: Google through the browser, or e-mail and password.
ColumnLayout {
    id: view
    objectName: "signInView"
    spacing: 14

    SignInForm {
        id: form
    }

    SignInGreeting {
        Layout.fillWidth: true
        Layout.topMargin: 8
    }
    SignInChoices {
        visible: !form.withEmail
        form: form
        Layout.fillWidth: true
    }
    SignInEmailForm {
        visible: form.withEmail
        form: form
        Layout.fillWidth: true
    }
    Body {
        id: note
        objectName: "signInNote"
        text: form.message !== "" ? form.message : AppModel.problem
        visible: text !== ""
        size: 12
        color: Theme.muted
        wrapMode: Text.Wrap
        horizontalAlignment: Text.AlignHCenter
        Layout.fillWidth: true
    }
    Rectangle {
        implicitHeight: 1
        color: Theme.hairline
        Layout.fillWidth: true
    }
    SignInFooter {
        Layout.fillWidth: true
    }
}
