import QtQuick
import Tender
import Tender as Kit

// A disc with a ring in the person's colour and their initial.
Rectangle {
    id: control
    property string label
    // qualified: QtQuick's own Palette would shadow ours in compiled lookups
    property var swatch: Kit.Palette.at(0)
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
        font.weight: Font.Bold
        color: control.swatch.deep
    }
}
