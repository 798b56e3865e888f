import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Tender

Rectangle {
    id: control
    property alias text: input.text
    property string prompt

    implicitHeight: 32
    Layout.fillWidth: true
    radius: 9
    color: Theme.field

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 10
        anchors.rightMargin: 10
        spacing: 7

        Symbol {
            name: "magnifyingglass"
            size: 13
            color: Theme.faint
        }
        T.TextField {
            id: input
            objectName: "searchInput"
            Layout.fillWidth: true
            Layout.fillHeight: true
            verticalAlignment: TextInput.AlignVCenter
            color: Theme.ink
            selectionColor: Theme.well
            selectedTextColor: Theme.ink
            font.pixelSize: Theme.px(13)
            Accessible.name: control.prompt

            Body {
                anchors.verticalCenter: parent.verticalCenter
                text: control.prompt
                color: Theme.faint
                visible: input.length === 0 && !input.preeditText
                elide: Text.ElideRight
                width: parent.width
            }
        }
        T.Button {
            objectName: "searchClear"
            visible: input.text.length > 0
            implicitWidth: 16
            implicitHeight: 16
            Accessible.name: "Очистить"
            onClicked: input.text = ""
            contentItem: Symbol {
                name: "xmark.circle.fill"
                size: 14
                color: Theme.faint
            }
            background: Item {}
        }
    }
}
