import QtQuick
import QtQuick.Templates as T
import Tender

T.Button {
    id: control
    implicitHeight: 40
    implicitWidth: Math.max(120, contentItem.implicitWidth + 24)
    opacity: enabled ? 1.0 : 0.45
    Accessible.name: text

    contentItem: Body {
        text: control.text
        size: 14
        strong: true
        color: Theme.paper
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        // a share of a row may be narrow for a wide system font
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 10
        elide: Text.ElideRight
    }
    background: Rectangle {
        radius: 10
        color: Theme.ink
        opacity: control.pressed ? 0.85 : 1.0
    }
}
