import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Tender

RowLayout {
    spacing: 10

    Note {
        text: "Цвета видишь только ты. Сигнал приходит без имени."
        Layout.fillWidth: true
        Layout.alignment: Qt.AlignTop
    }
    T.Button {
        id: quit
        objectName: "quit"
        hoverEnabled: true
        implicitWidth: implicitContentWidth + leftPadding + rightPadding
        implicitHeight: implicitContentHeight + topPadding + bottomPadding
        Layout.alignment: Qt.AlignTop
        Accessible.name: "Закрыть"
        Accessible.description: "Закрыть приложение"
        onClicked: Qt.quit()
        contentItem: Body {
            text: "Закрыть"
            size: 12
            color: Theme.muted
        }
        background: Item {}
        Hint {
            text: "Закрыть приложение"
            shown: quit.hovered
        }
    }
}
