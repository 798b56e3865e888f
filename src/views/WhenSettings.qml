import QtQuick
import QtQuick.Layouts
import Tender

// The "Когда" tab: pause, the gap between glows, quiet times, start at login,
// hearts from strangers.
ColumnLayout {
    id: tab
    readonly property bool paused: { AppModel.pausedUntil; return PauseStatus.isPaused() }
    spacing: 14

    ColumnLayout {
        spacing: 8
        Layout.fillWidth: true
        Caption {
            objectName: "pauseCaption"
            text: { AppModel.pausedUntil; return tab.paused ? PauseStatus.text() : "Пауза" }
            Layout.fillWidth: true
        }
        // equal preferred widths: the buttons share the row equally
        RowLayout {
            spacing: 6
            Layout.fillWidth: true
            SmallButton {
                objectName: "unpause"
                visible: tab.paused
                text: "Снять паузу"
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                onClicked: AppModel.unpause()
            }
            SmallButton {
                objectName: "pauseHour"
                visible: !tab.paused
                text: "На час"
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                onClicked: PauseStatus.pause(PauseStatus.Hour)
            }
            SmallButton {
                objectName: "pauseMorning"
                visible: !tab.paused
                text: "До утра"
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                onClicked: PauseStatus.pause(PauseStatus.Morning)
            }
            SmallButton {
                objectName: "pauseIndefinite"
                visible: !tab.paused
                text: "Пока не сниму"
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                onClicked: PauseStatus.pause(PauseStatus.Indefinite)
            }
        }
    }

    ColumnLayout {
        spacing: 6
        Layout.fillWidth: true
        RowLayout {
            Layout.fillWidth: true
            Caption {
                text: "Свечение не чаще раза в"
                Layout.fillWidth: true
            }
            Body {
                objectName: "gapValue"
                text: Gaps.title(AppModel.minGap)
                size: 12
                strong: true
            }
        }
        SmallSlider {
            objectName: "gapSlider"
            from: 0
            to: Gaps.count - 1
            stepSize: 1
            value: Gaps.index(AppModel.minGap)
            Accessible.name: "Свечение не чаще раза в"
            Layout.fillWidth: true
            onMoved: {
                AppModel.minGap = Gaps.seconds(Math.round(value))
                value = Qt.binding(() => Gaps.index(AppModel.minGap))
            }
        }
        Note {
            text: "Если о тебе думают часто, сигналы между вспышками не покажутся."
            Layout.fillWidth: true
        }
    }

    Rectangle {
        radius: 10
        color: Theme.field
        implicitHeight: switches.implicitHeight
        Layout.fillWidth: true
        ColumnLayout {
            id: switches
            anchors.left: parent.left
            anchors.right: parent.right
            spacing: 0
            SwitchRow {
                objectName: "quietSwitch"
                title: "Тихо, когда что-то на весь экран"
                isOn: AppModel.quietWhenPresenting
                onToggled: on => AppModel.quietWhenPresenting = on
            }
            SwitchRow {
                objectName: "loginSwitch"
                title: "Запускать при входе в систему"
                isOn: AppModel.launchAtLogin
                onToggled: on => AppModel.setLaunchAtLogin(on)
            }
        }
    }

    ColumnLayout {
        spacing: 6
        Layout.fillWidth: true
        Rectangle {
            radius: 10
            color: Theme.anyoneRow
            implicitHeight: anyone.implicitHeight
            Layout.fillWidth: true
            SwitchRow {
                id: anyone
                objectName: "anyoneSwitch"
                anchors.left: parent.left
                anchors.right: parent.right
                title: "Сердечки от кого-нибудь на свете"
                isOn: AppModel.acceptAnyone
                onToggled: on => AppModel.acceptAnyone = on
            }
        }
        Note {
            text: "Кто-то где-то нажал «Кому-нибудь на свете», и сердечко может прилететь тебе. Бывает редко, тем и приятнее."
            Layout.fillWidth: true
        }
    }
}
