import QtQuick
import QtQuick.Templates as T
import Tender

T.Button {
    id: control
    property string symbol
    property string help
    property real symbolSize: 14
    property color tint: Theme.ink
    implicitWidth: 30
    implicitHeight: 30
    hoverEnabled: true
    Accessible.name: help

    contentItem: Item {
        Symbol {
            anchors.centerIn: parent
            name: control.symbol
            size: Math.round(control.symbolSize * 1.2)
            color: control.tint
            opacity: control.pressed ? 0.6 : 1.0
        }
    }
    background: Item {}

    Hint {
        text: control.help
        shown: control.hovered
    }
}
