import QtQuick
import QtQuick.Controls.Basic
import Tender

// The pause control: lifts a pause, or offers the three lengths.
IconButton {
    id: control
    readonly property bool paused: { AppModel.pausedUntil; return PauseStatus.isPaused() }
    symbol: paused ? "play.circle" : "pause.circle"
    symbolSize: 15
    help: "Пауза"
    onClicked: (paused ? liftMenu : lengthMenu).popup(control, 0, control.height)

    Menu {
        id: liftMenu
        objectName: "liftMenu"
        MenuItem {
            objectName: "unpause"
            text: "Снять паузу"
            onTriggered: AppModel.unpause()
        }
    }
    Menu {
        id: lengthMenu
        objectName: "lengthMenu"
        MenuItem {
            objectName: "pauseHour"
            text: "На час"
            onTriggered: PauseStatus.pause(PauseStatus.Hour)
        }
        MenuItem {
            objectName: "pauseMorning"
            text: "До утра"
            onTriggered: PauseStatus.pause(PauseStatus.Morning)
        }
        MenuItem {
            objectName: "pauseIndefinite"
            text: "Пока не сниму"
            onTriggered: PauseStatus.pause(PauseStatus.Indefinite)
        }
    }
}
