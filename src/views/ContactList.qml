import QtQuick
import QtQuick.Layouts
import Tender

// The people under the search field: recent others, or the search results.
ColumnLayout {
    id: control
    property string query
    readonly property string trimmed: query.trim()
    readonly property var others: AppModel.otherContacts
    readonly property var shown: others.length > 5 ? others.slice(0, 4) : others
    readonly property bool cut: shown.length < others.length
    readonly property var results: {
        if (trimmed === "")
            return []
        const needle = trimmed.toLocaleLowerCase()
        return AppModel.contacts.filter(contact => contact.label.toLocaleLowerCase().includes(needle))
    }
    spacing: 2

    Caption {
        objectName: "listCaption"
        visible: control.trimmed === "" && control.others.length > 0
        text: control.cut ? "Недавние" : "Остальные"
        Layout.leftMargin: 10
        Layout.rightMargin: 10
        Layout.bottomMargin: 2
        Layout.fillWidth: true
    }
    Repeater {
        model: control.trimmed === "" ? control.shown : control.results
        delegate: ContactRow {
            required property var modelData
            contact: modelData
            Layout.fillWidth: true
        }
    }
    LinkRow {
        objectName: "wholeBook"
        visible: control.trimmed === "" && control.cut
        symbol: "book"
        title: "Вся книга · " + AppModel.contacts.length
        leftPadding: 6
        rightPadding: 6
        onClicked: AppModel.route = Routes.book()
    }
    Body {
        objectName: "nobody"
        visible: control.trimmed !== "" && control.results.length === 0
        text: "Никого с таким именем"
        color: Theme.muted
        horizontalAlignment: Text.AlignHCenter
        Layout.fillWidth: true
        Layout.topMargin: 14
        Layout.bottomMargin: 14
    }
}
