import QtQuick
import Tender

// Plain text of the popover: ink at the base size unless told otherwise.
Text {
    id: control
    property real size: Theme.baseFont
    property bool strong: false
    color: Theme.ink
    font.pixelSize: Theme.px(size)
    font.weight: strong ? Font.DemiBold : Font.Normal
    textFormat: Text.PlainText
}
