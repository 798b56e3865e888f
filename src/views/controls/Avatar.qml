import QtQuick
import Tender

// A disc with a ring in the person's colour and their initial.
Rectangle {
    id: control
    property string label
    property var swatch: PaletteColors.at(0)
    property real size: 30

    implicitWidth: size
    implicitHeight: size
    radius: size / 2
    color: Theme.paper
    border.width: 2.5
    border.color: swatch.color

    Body {
        objectName: "initial"
        anchors.centerIn: parent
        text: Texts.initial(control.label)
        size: control.size * 0.41
        weight: Font.Bold
        color: control.swatch.deep
    }
}
