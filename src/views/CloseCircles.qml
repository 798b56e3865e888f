import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Tender

// The close people as large circles, the add tile, and the line that names one.
ColumnLayout {
    id: control
    objectName: "closeCircles"
    // id of the circle under the pointer; "" for none
    property string hovered
    readonly property var close: AppModel.closeContacts
    spacing: 4

    Grid {
        objectName: "circleGrid"
        columns: 5
        columnSpacing: 13
        rowSpacing: 10
        topPadding: 4
        // all five columns, also when fewer are filled: circles keep their places from the left
        Layout.preferredWidth: columns * 50 + (columns - 1) * columnSpacing
        Layout.alignment: Qt.AlignHCenter

        Repeater {
            model: control.close
            delegate: CloseCircle {
                required property var modelData
                required property int index
                contact: modelData
                position: index
                count: control.close.length
                circles: control
            }
        }
        T.Button {
            id: add
            objectName: "addClose"
            width: 50
            height: 50
            hoverEnabled: true
            Accessible.name: "Добавить в близкие"
            onClicked: AppModel.route = Routes.book()
            contentItem: Item {
                Symbol {
                    anchors.centerIn: parent
                    name: "plus"
                    size: 18
                    color: Theme.faint
                }
            }
            background: DashedCircle {
                color: Theme.dashedRing
            }
            Hint {
                text: "Добавить в близкие"
                shown: add.hovered
            }
        }
    }

    Body {
        objectName: "closeStatus"
        readonly property var named: {
            const key = control.hovered !== "" ? control.hovered : AppModel.sent
            const found = control.close.find(contact => contact.id === key)
            return found === undefined ? null : found
        }
        text: control.close.length === 0 ? "Отметь самых близких звёздочкой в книге"
              : named === null ? " "
              : named.label + (named.id === AppModel.sent ? " — улетело ♥" : "")
        color: control.close.length === 0 || named === null ? Theme.faint : AppModel.color(named).deep
        size: 12.5
        strong: true
        maximumLineCount: 1
        elide: Text.ElideRight
        horizontalAlignment: Text.AlignHCenter
        Layout.preferredHeight: 18
        Layout.fillWidth: true
    }
}
