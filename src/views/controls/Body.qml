import QtQuick
import Tender

// Plain text of the popover: ink at the base size unless told otherwise.
// Fonts take whole pixels, so a half-point size is drawn at twice its size
// and scaled down; emoji are drawn from the colour emoji font.
Item {
    id: control
    property string text
    property real size: Theme.baseFont
    property bool strong: false
    property int weight: strong ? Font.DemiBold : Font.Normal
    property bool underline: false
    property color color: Theme.ink
    property int elide: Text.ElideNone
    property int wrapMode: Text.NoWrap
    property int maximumLineCount: 1000
    property int horizontalAlignment: Text.AlignLeft
    property int verticalAlignment: Text.AlignTop
    property int fontSizeMode: Text.FixedSize
    property real minimumPixelSize: 8
    // The size the text is drawn at, which fitting may have made smaller.
    readonly property real shownSize: label.fontInfo.pixelSize / label.zoom
    readonly property alias truncated: label.truncated

    implicitWidth: (label.withEmoji ? Emoji.width(text, label.font) : label.implicitWidth) / label.zoom
    implicitHeight: label.implicitHeight / label.zoom
    baselineOffset: label.baselineOffset / label.zoom

    Text {
        id: label
        readonly property int zoom: Math.round(control.size) === control.size ? 1 : 2
        readonly property bool withEmoji: Emoji.has(control.text)
        transformOrigin: Item.TopLeft
        scale: 1 / zoom
        width: control.width * zoom
        height: control.height * zoom
        color: control.color
        font.pixelSize: Math.round(control.size * zoom)
        font.weight: control.weight
        font.underline: control.underline
        elide: control.elide
        wrapMode: control.wrapMode
        maximumLineCount: control.maximumLineCount
        horizontalAlignment: control.horizontalAlignment
        verticalAlignment: control.verticalAlignment
        fontSizeMode: control.fontSizeMode
        minimumPixelSize: Math.round(control.minimumPixelSize * zoom)
        // Rich text knows no eliding: the cut is made before.
        textFormat: withEmoji ? Text.RichText : Text.PlainText
        text: !withEmoji ? control.text
              : Emoji.markup(control.elide === Text.ElideNone ? control.text : Emoji.elided(control.text, font, width))
        Accessible.name: control.text
    }
}
