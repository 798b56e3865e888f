import QtQuick
import QtQuick.Layouts
import Tender

// A titled input frame; the content (usually a FieldInput) fills the frame.
ColumnLayout {
    id: control
    property string title
    default property alias content: frame.data
    spacing: 6

    Caption {
        text: control.title
        Layout.fillWidth: true
    }
    Rectangle {
        id: frame
        Layout.fillWidth: true
        implicitHeight: 34
        radius: 8
        color: Theme.white
        border.width: 1
        border.color: Theme.hairline
    }
}
