import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Tender

// Everyone, by letter, with a search and a star per person.
ColumnLayout {
    id: view
    objectName: "bookView"
    property alias query: search.text
    spacing: 8

    BookIndex {
        id: book
        contacts: AppModel.contactsByName
        query: view.query
    }

    RowLayout {
        spacing: 6
        Layout.fillWidth: true
        IconButton {
            objectName: "back"
            symbol: "chevron.left"
            help: "Назад"
            onClicked: AppModel.route = Routes.main()
        }
        Body {
            text: "Книга"
            size: 15
            strong: true
        }
        Item {
            Layout.fillWidth: true
        }
        Body {
            objectName: "bookSummary"
            text: Texts.peopleCount(AppModel.contacts.length) + " · близких " + AppModel.closeContacts.length
            size: 12
            color: Theme.muted
        }
    }
    SearchField {
        id: search
        objectName: "bookSearch"
        prompt: "Имя"
        focus: true
    }
    Note {
        text: "Звёздочка — в близкие: кружком наверху меню и первыми на плате."
        Layout.leftMargin: 4
        Layout.rightMargin: 4
        Layout.fillWidth: true
    }

    Flickable {
        id: scroller
        objectName: "bookList"
        // With nobody listed the area fits its message rather than cutting it.
        implicitHeight: book.listed > 0 ? book.listHeight : list.implicitHeight
        contentHeight: list.implicitHeight
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        Layout.fillWidth: true
        ScrollBar.vertical: ScrollBar {
            policy: ScrollBar.AsNeeded
        }

        ColumnLayout {
            id: list
            width: scroller.width
            spacing: 2

            Repeater {
                model: book.groups
                delegate: ColumnLayout {
                    id: group
                    required property var modelData
                    objectName: "group"
                    spacing: 2
                    Layout.fillWidth: true

                    Body {
                        objectName: "letter"
                        text: group.modelData.letter
                        size: 11.5
                        weight: Font.Bold
                        color: Theme.faint
                        Layout.leftMargin: 10
                        Layout.rightMargin: 10
                        Layout.topMargin: 6
                        // an empty heading keeps its line
                        Layout.preferredHeight: Theme.px(11.5) + 2
                    }
                    Repeater {
                        model: group.modelData.people
                        delegate: ContactRow {
                            required property var modelData
                            contact: modelData
                            star: true
                            Layout.fillWidth: true
                        }
                    }
                }
            }
            Body {
                objectName: "nobody"
                visible: book.listed === 0
                text: "Никого с таким именем"
                color: Theme.muted
                horizontalAlignment: Text.AlignHCenter
                Layout.fillWidth: true
                Layout.topMargin: 14
                Layout.bottomMargin: 14
            }
        }
    }
}
