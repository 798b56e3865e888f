import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Tender

Rectangle {
    objectName: "pauseBanner"
    readonly property bool paused: { AppModel.pausedUntil; return PauseStatus.isPaused() }
    implicitHeight: 34
    radius: 9
    color: Theme.field

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 10
        anchors.rightMargin: 10
        spacing: 8

        Symbol {
            name: "moon.fill"
            size: 13
            color: Theme.muted
        }
        Body {
            objectName: "pauseText"
            text: { AppModel.pausedUntil; return PauseStatus.text() + ". Сигналы не придут." }
            size: 12.5
            color: Theme.muted
            // two lines fit the banner's height where one is too short
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
            Layout.fillWidth: true
        }
        T.Button {
            objectName: "lift"
            implicitWidth: implicitContentWidth + leftPadding + rightPadding
            implicitHeight: implicitContentHeight + topPadding + bottomPadding
            Accessible.name: "Снять"
            onClicked: AppModel.unpause()
            contentItem: Body {
                text: "Снять"
                size: 12.5
                strong: true
                color: Theme.link
            }
            background: Item {}
        }
    }
}
