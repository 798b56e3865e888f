import QtQuick
import QtQuick.Controls.Basic
import Tender

// A control's tooltip, shown while the pointer rests on it.
ToolTip {
    id: control
    property bool shown: false
    visible: shown && text.length > 0
    delay: 600
    contentItem: Body {
        text: control.text
        size: 12
        wrapMode: Text.Wrap
    }
    background: Rectangle {
        color: Theme.paper
        radius: 6
        border.width: 1
        border.color: Theme.hairline
    }
}
