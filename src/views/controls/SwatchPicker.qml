import QtQuick
import QtQuick.Templates as T
import Tender

// The twelve palette colours in two rows of six; `selection` is an index.
Grid {
    id: control
    property int selection: -1
    property real size: 24
    signal selected(int index)

    columns: 6
    columnSpacing: 10
    rowSpacing: 6
    leftPadding: -3

    Repeater {
        model: PaletteColors.all
        delegate: T.RadioButton {
            id: swatch
            required property int index
            required property var modelData
            readonly property bool current: control.selection === index
            objectName: "swatch-" + index
            width: control.size + 6
            height: control.size + 6
            hoverEnabled: true
            checked: current
            Accessible.name: modelData.name
            Accessible.selected: current
            onClicked: {
                control.selection = index
                control.selected(index)
            }
            background: Rectangle {
                x: 3
                y: 3
                width: control.size
                height: control.size
                radius: width / 2
                color: swatch.modelData.color
                Rectangle {
                    // the ring of the selected swatch, drawn just outside the disc
                    anchors.fill: parent
                    anchors.margins: -3
                    radius: width / 2
                    color: "transparent"
                    border.width: swatch.current ? 2 : 0
                    border.color: swatch.modelData.color
                }
            }
            Hint {
                text: swatch.modelData.name
                shown: swatch.hovered
            }
        }
    }
}
