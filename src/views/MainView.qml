import QtQuick
import QtQuick.Layouts
import Tender

// The everyday screen: close people, the random heart, the list and the links.
ColumnLayout {
    id: view
    objectName: "mainView"
    property bool copied: false
    property alias query: search.text
    spacing: 8

    MainHeader {
        Layout.fillWidth: true
    }
    PauseBanner {
        visible: paused
        Layout.fillWidth: true
    }

    ColumnLayout {
        objectName: "emptyState"
        visible: AppModel.contacts.length === 0
        spacing: 6
        Layout.fillWidth: true
        Layout.topMargin: 18
        Layout.bottomMargin: 18
        Body {
            text: "Пока никого нет"
            size: 14
            strong: true
            Layout.alignment: Qt.AlignHCenter
        }
        Body {
            text: "Добавь близких по их ссылке или отправь им свою, чтобы они могли поддерживать тебя."
            color: Theme.muted
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
            Layout.fillWidth: true
        }
    }

    CloseCircles {
        visible: AppModel.contacts.length > 0
        Layout.fillWidth: true
    }
    AnyoneButton {
        Layout.fillWidth: true
        Layout.topMargin: AppModel.contacts.length > 0 ? 6 : 0
    }
    SearchField {
        id: search
        objectName: "search"
        visible: AppModel.contacts.length > 0
        prompt: "Найти — " + Texts.peopleCount(AppModel.contacts.length)
    }
    ContactList {
        visible: AppModel.contacts.length > 0
        query: view.query
        Layout.fillWidth: true
    }

    Rectangle {
        implicitHeight: 1
        color: Theme.hairline
        Layout.fillWidth: true
        Layout.topMargin: 2
        Layout.bottomMargin: 2
    }
    LinkRow {
        objectName: "copyLink"
        symbol: view.copied ? "checkmark.circle" : "link"
        title: view.copied ? "Скопировано" : "Скопировать мою ссылку"
        onClicked: {
            if (!AppModel.copyInvite())
                return
            view.copied = true
            delays.after(1500, () => view.copied = false)
        }
    }
    LinkRow {
        objectName: "addByLink"
        symbol: "plus.circle"
        title: "Добавить по ссылке"
        onClicked: AppModel.route = Routes.add()
    }
    Body {
        objectName: "problem"
        visible: AppModel.problem !== ""
        text: AppModel.problem
        size: 12
        color: Theme.danger
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
    MainFooter {
        Layout.fillWidth: true
        Layout.topMargin: 2
    }

    Delays {
        id: delays
    }
}
