import QtQuick
import QtQuick.Templates as T
import Tender

// The plain text input that goes inside a Field.
T.TextField {
    id: control
    // What a screen reader calls it: the field's title.
    property string label
    anchors.fill: parent
    leftPadding: 10
    rightPadding: 10
    verticalAlignment: TextInput.AlignVCenter
    color: Theme.ink
    placeholderTextColor: Theme.faint
    passwordCharacter: "•"
    selectionColor: Theme.well
    selectedTextColor: Theme.ink
    font.pixelSize: Theme.px(13.5)
    Accessible.name: label
    Accessible.description: placeholderText

    Body {
        x: control.leftPadding
        anchors.verticalCenter: parent.verticalCenter
        text: control.placeholderText
        color: control.placeholderTextColor
        size: 13.5
        visible: control.length === 0 && !control.preeditText
    }
}
