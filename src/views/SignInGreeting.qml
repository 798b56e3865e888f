import QtQuick
import QtQuick.Layouts
import Tender

ColumnLayout {
    spacing: 10

    Rectangle {
        implicitWidth: 56
        implicitHeight: 56
        radius: 28
        color: Theme.heartDisc
        Layout.alignment: Qt.AlignHCenter
        Symbol {
            anchors.centerIn: parent
            name: "heart.fill"
            size: 28
            color: Theme.heart
        }
    }
    Body {
        text: "Привет!"
        size: 17
        weight: Font.Bold
        Layout.alignment: Qt.AlignHCenter
    }
    Body {
        text: "Думаешь о ком-то? Нажми, и он почувствует, что его любят и он нужен. А от кого, не узнает."
        color: Theme.muted
        wrapMode: Text.Wrap
        horizontalAlignment: Text.AlignHCenter
        Layout.fillWidth: true
    }
}
