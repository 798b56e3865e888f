import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Tender

// The "Сигнал" tab: colour, emoji, sound and motion, and a preview.
ColumnLayout {
    spacing: 14

    ColumnLayout {
        spacing: 8
        Layout.fillWidth: true
        Caption {
            text: "Мой цвет сигнала"
        }
        SwatchPicker {
            objectName: "myColor"
            selection: AppModel.myColor
            size: 30
            onSelected: index => AppModel.myColor = index
        }
        Note {
            text: "Этим цветом светятся края экрана, когда кто-то о тебе думает."
            Layout.fillWidth: true
        }
    }

    ColumnLayout {
        spacing: 6
        Layout.fillWidth: true
        RowLayout {
            Layout.fillWidth: true
            Caption {
                text: "Смайликов за раз"
                Layout.fillWidth: true
            }
            Body {
                objectName: "emojiCountValue"
                text: AppModel.emojiCount === 0 ? "только свет" : String(AppModel.emojiCount)
                size: 12
                strong: true
            }
        }
        SmallSlider {
            id: emoji
            objectName: "emojiSlider"
            from: 0
            to: 60
            stepSize: 2
            value: AppModel.emojiCount
            enabled: !AppModel.calm
            Accessible.name: "Смайликов за раз"
            Layout.fillWidth: true
            onMoved: {
                AppModel.emojiCount = Math.round(value)
                value = Qt.binding(() => AppModel.emojiCount)
            }
        }
        Note {
            objectName: "calmNote"
            visible: AppModel.calm
            text: "С «Без мигания и полёта» смайлики не летают."
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
                objectName: "soundSwitch"
                title: "Тихий звук"
                isOn: AppModel.sound
                onToggled: on => AppModel.sound = on
            }
            SwitchRow {
                objectName: "calmSwitch"
                title: "Без мигания и полёта"
                isOn: AppModel.calm
                onToggled: on => AppModel.calm = on
            }
        }
    }

    T.Button {
        id: preview
        objectName: "preview"
        implicitHeight: 36
        Layout.fillWidth: true
        Accessible.name: "Показать, как это выглядит"
        onClicked: AppModel.playEffect()
        contentItem: Item {
            Row {
                anchors.centerIn: parent
                spacing: 6
                opacity: preview.pressed ? 0.6 : 1.0
                Symbol {
                    anchors.verticalCenter: parent.verticalCenter
                    name: "play.fill"
                    size: 12
                    color: Theme.previewInk
                }
                Body {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "Показать, как это выглядит"
                    size: 13.5
                    strong: true
                    color: Theme.previewInk
                }
            }
        }
        background: Rectangle {
            radius: 9
            color: Theme.previewFill
            border.width: preview.visualFocus ? 1 : 0
            border.color: Theme.previewInk
        }
    }
}
