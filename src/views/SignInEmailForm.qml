import QtQuick
import QtQuick.Layouts
import Tender

// E-mail and password; one button both signs in and creates the account.
ColumnLayout {
    id: control
    required property SignInForm form
    spacing: 10

    onVisibleChanged: if (visible) email.forceActiveFocus()

    Field {
        title: "Почта"
        Layout.fillWidth: true
        FieldInput {
            id: email
            objectName: "emailInput"
            text: control.form.email
            onTextChanged: control.form.email = text
            placeholderText: "anna@example.com"
            inputMethodHints: Qt.ImhEmailCharactersOnly | Qt.ImhNoAutoUppercase | Qt.ImhNoPredictiveText
            label: "Почта"
        }
    }
    Field {
        title: "Пароль"
        Layout.fillWidth: true
        FieldInput {
            objectName: "passwordInput"
            text: control.form.password
            onTextChanged: control.form.password = text
            placeholderText: "Не меньше 8 символов"
            echoMode: TextInput.Password
            inputMethodHints: Qt.ImhHiddenText | Qt.ImhSensitiveData | Qt.ImhNoPredictiveText
                              | Qt.ImhNoAutoUppercase
            label: "Пароль"
            onAccepted: control.form.submit()
        }
    }
    PrimaryButton {
        objectName: "submit"
        text: control.form.busy ? "Входим…" : "Войти или создать аккаунт"
        enabled: !control.form.busy
        Layout.fillWidth: true
        onClicked: control.form.submit()
        Keys.onReturnPressed: control.form.submit()
        Keys.onEnterPressed: control.form.submit()
    }
    RowLayout {
        Layout.fillWidth: true
        SignInTextButton {
            objectName: "signInBack"
            text: "← Назад"
            color: Theme.muted
            onClicked: control.form.back()
        }
        Item {
            Layout.fillWidth: true
        }
        SignInTextButton {
            objectName: "forgotPassword"
            text: "Забыли пароль?"
            color: Theme.link
            onClicked: control.form.reset()
        }
    }
}
