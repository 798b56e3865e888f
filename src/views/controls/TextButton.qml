import QtQuick
import QtQuick.Templates as T
import Tender

// A borderless button that is just its coloured text.
T.Button {
    id: control
    property real size: Theme.baseFont
    property color tint: Theme.ink
    property bool strong: false
    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    implicitHeight: Math.max(24, implicitContentHeight + topPadding + bottomPadding)
    hoverEnabled: true
    Accessible.name: text

    contentItem: Body {
        text: control.text
        size: control.size
        strong: control.strong
        color: control.tint
        opacity: control.pressed ? 0.6 : 1.0
        verticalAlignment: Text.AlignVCenter
        underline: control.visualFocus
    }
    background: Item {}
}
