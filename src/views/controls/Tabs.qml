import QtQuick
import QtQuick.Templates as T
import Tender

// The settings tabs on a trough; `selection` is a Tabs.SettingsTab.
Rectangle {
    id: control
    enum SettingsTab { Signal, When, Devices }
    readonly property var titles: ["Сигнал", "Когда", "Устройства"]
    property int selection: Tabs.SettingsTab.Signal
    signal selected(int tab)

    implicitHeight: 30 + 6
    radius: 10
    Accessible.role: Accessible.PageTabList
    color: Theme.well

    Row {
        id: cells
        anchors.fill: parent
        anchors.margins: 3
        spacing: 4

        Repeater {
            model: control.titles
            delegate: T.TabButton {
                id: cell
                required property int index
                required property string modelData
                readonly property bool current: control.selection === index
                objectName: "tab-" + index
                width: (cells.width - cells.spacing * (control.titles.length - 1)) / control.titles.length
                height: 30
                checked: current
                Accessible.name: modelData
                Accessible.selected: current
                onClicked: {
                    control.selection = index
                    control.selected(index)
                }
                contentItem: Body {
                    text: cell.modelData
                    strong: cell.current
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                background: Item {
                    Rectangle {
                        // the shadow: ink at 0.2, one point down
                        visible: cell.current
                        anchors.fill: parent
                        anchors.topMargin: 1
                        anchors.bottomMargin: -1
                        radius: 8
                        color: Theme.ink
                        opacity: 0.2
                    }
                    Rectangle {
                        visible: cell.current
                        anchors.fill: parent
                        radius: 8
                        color: Theme.paper
                    }
                }
            }
        }
    }
}
