import QtQuick
import QtQuick.Layouts
import Tender

// Names a new device and chooses what it does.
ColumnLayout {
    id: form
    required property DevicesController devices
    spacing: 10

    Field {
        title: "Название"
        Layout.fillWidth: true
        FieldInput {
            objectName: "deviceName"
            text: form.devices.name
            placeholderText: "Например, Котик на полке"
            label: "Название"
            onTextEdited: {
                form.devices.name = text
                // the field follows the name again, also when pairing clears it
                text = Qt.binding(() => form.devices.name)
            }
            onAccepted: form.devices.add()
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
                objectName: "receiveSwitch"
                title: "Принимает сердечки"
                isOn: form.devices.receive
                onToggled: on => form.devices.receive = on
            }
            SwitchRow {
                objectName: "sendSwitch"
                title: "Отправляет сердечки"
                isOn: form.devices.send
                onToggled: on => form.devices.send = on
            }
        }
    }
    PrimaryButton {
        objectName: "pair"
        text: form.devices.busy ? "Подключаем…" : "Подключить устройство"
        enabled: form.devices.canAdd
        Layout.fillWidth: true
        onClicked: form.devices.add()
        Keys.onReturnPressed: form.devices.add()
        Keys.onEnterPressed: form.devices.add()
    }
}
