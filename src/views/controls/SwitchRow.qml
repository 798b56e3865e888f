import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Tender

Item {
    id: control
    property string title
    property bool isOn: false
    signal toggled(bool on)

    implicitHeight: 40
    implicitWidth: row.implicitWidth + 24
    Layout.fillWidth: true

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        spacing: 8

        Body {
            text: control.title
            size: 13.5
            Layout.fillWidth: true
            // wide system fonts: shrink a little before cutting the title
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 12
            elide: Text.ElideRight
        }
        T.Switch {
            id: toggle
            objectName: "switch"
            checked: control.isOn
            Accessible.name: control.title
            implicitWidth: 32
            implicitHeight: 20
            onToggled: {
                control.toggled(checked)
                // the owner decides: the switch shows isOn, whatever a click made of it
                checked = Qt.binding(() => control.isOn)
            }
            indicator: SwitchIndicator {
                anchors.fill: parent
                checked: toggle.checked
            }
        }
    }
}
