import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Tender

Rectangle {
    objectName: "pauseBanner"
    readonly property bool paused: { AppModel.pausedUntil; return PauseStatus.isPaused() }
    // Wraps rather than cuts the time off when the line does not fit.
    implicitHeight: Math.max(34, pauseText.implicitHeight + 12)
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
            id: pauseText
            objectName: "pauseText"
            text: { AppModel.pausedUntil; return PauseStatus.text() + ". Сигналы не придут." }
            size: 12.5
            color: Theme.muted
            wrapMode: Text.Wrap
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
