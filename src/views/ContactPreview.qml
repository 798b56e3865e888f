import QtQuick
import QtQuick.Layouts
import Tender

// How the person will look in the menu: a circle when close, else a row.
Rectangle {
    id: control
    property string name
    property bool close: false
    property var swatch: PaletteColors.at(0)
    objectName: "preview"
    implicitHeight: close ? 62 : 46
    radius: 11
    color: close ? Theme.paper : swatch.tint
    border.width: close ? 1 : 0
    border.color: Theme.hairline

    RowLayout {
        visible: control.close
        anchors.fill: parent
        anchors.leftMargin: 10
        anchors.rightMargin: 10
        spacing: 12
        Rectangle {
            implicitWidth: 50
            implicitHeight: 50
            radius: 25
            color: control.swatch.tint
            border.width: 3
            border.color: control.swatch.color
            Body {
                objectName: "previewInitial"
                anchors.centerIn: parent
                text: control.name === "" ? "?" : Texts.initial(control.name)
                size: 18
                weight: Font.Bold
                color: control.swatch.deep
            }
        }
        Body {
            text: "Без имени, имя — при наведении"
            size: 12
            color: Theme.muted
            elide: Text.ElideRight
            Layout.fillWidth: true
        }
    }
    RowLayout {
        visible: !control.close
        anchors.fill: parent
        anchors.leftMargin: 10
        anchors.rightMargin: 10
        spacing: 12
        Avatar {
            label: control.name === "" ? "?" : control.name
            swatch: control.swatch
            size: 30
        }
        Body {
            objectName: "previewName"
            text: control.name === "" ? "Имя" : control.name
            size: 14.5
            weight: Font.Medium
            maximumLineCount: 1
            elide: Text.ElideRight
            Layout.fillWidth: true
        }
    }
}
