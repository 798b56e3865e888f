import QtQuick
import QtQuick.Templates as T
import Tender

// The shared look of SecondaryButton and SmallButton.
T.Button {
    id: control
    property real textSize: 14
    property bool strongText: true
    property real radius: 10
    implicitWidth: Math.max(80, contentItem.implicitWidth + 20)
    Accessible.name: text

    contentItem: Body {
        text: control.text
        size: control.textSize
        strong: control.strongText
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        // a share of a row may be narrow for a wide system font
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 10
        elide: Text.ElideRight
    }
    background: Rectangle {
        radius: control.radius
        color: control.pressed ? Theme.field : Theme.paper
        border.width: 1
        border.color: Theme.hairline
    }
}
