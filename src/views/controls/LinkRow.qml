import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Tender

T.Button {
    id: control
    property string symbol
    property string title
    implicitHeight: 28
    implicitWidth: row.implicitWidth + leftPadding + rightPadding
    leftPadding: 4
    rightPadding: 4
    Layout.fillWidth: true
    Accessible.name: title

    contentItem: RowLayout {
        id: row
        spacing: 8
        opacity: control.pressed ? 0.6 : 1.0
        Item {
            implicitWidth: 18
            implicitHeight: 18
            Symbol {
                anchors.centerIn: parent
                name: control.symbol
                size: 16
                color: Theme.link
            }
        }
        Body {
            text: control.title
            size: 13.5
            color: Theme.link
            elide: Text.ElideRight
            Layout.fillWidth: true
        }
    }
    background: Item {}
}
