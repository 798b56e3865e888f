import QtQuick
import QtQuick.Templates as T
import Tender

// A borderless text button of the sign-in screen, 12.5 points.
T.Button {
    id: control
    property color color: Theme.ink
    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    implicitHeight: implicitContentHeight + topPadding + bottomPadding
    topPadding: 2
    bottomPadding: 2
    Accessible.name: text
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    contentItem: Body {
        text: control.text
        size: 12.5
        color: control.color
        opacity: control.pressed ? 0.6 : 1.0
    }
    background: Item {}
}
