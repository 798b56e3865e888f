import QtQuick
import QtQuick.Layouts
import Tender

// The devices tab: pair a lamp or a board, see its token once, unpair.
ColumnLayout {
    id: view
    objectName: "devicesView"
    spacing: 14

    DevicesController {
        id: controller
        Component.onCompleted: load()
    }
    // The popover keeps the tab while hidden; it loads again when it reopens.
    Connections {
        target: view.Window.window
        function onVisibleChanged() {
            if (view.Window.window.visible)
                controller.load()
        }
    }
    Timeline {
        id: timeline
        interval: 60000
    }

    TokenCard {
        visible: controller.hasCreated
        name: controller.createdName
        token: controller.createdToken
        copied: controller.copied !== "" && controller.copied === controller.createdToken
        onCopy: controller.copy(controller.createdToken)
        onDone: controller.dismissToken()
        Layout.fillWidth: true
    }
    Body {
        visible: !controller.hasCreated
        text: "Игрушка, лампа или своя плата, которая светится, когда о тебе думают, или отправляет сердечко по кнопке."
        size: 12.5
        color: Theme.muted
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
    PairingForm {
        visible: !controller.hasCreated
        devices: controller
        Layout.fillWidth: true
    }

    ColumnLayout {
        objectName: "deviceList"
        visible: controller.devices.length > 0
        spacing: 6
        Layout.fillWidth: true
        Caption {
            text: "Подключены"
        }
        Repeater {
            model: controller.devices
            delegate: DeviceRow {
                required property var modelData
                device: modelData
                details: controller.details(modelData, timeline.now)
                confirming: controller.confirmRemove === modelData.id
                onAsk: controller.confirmRemove = modelData.id
                onCancel: controller.confirmRemove = ""
                onRemove: controller.remove(modelData.id)
                Layout.fillWidth: true
            }
        }
    }
    Body {
        objectName: "devicesError"
        visible: controller.error !== ""
        text: controller.error
        size: 12
        color: Theme.danger
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
    LinkRow {
        objectName: "docs"
        symbol: "book"
        title: "Как подключить свою плату"
        onClicked: controller.openDocs()
    }
}
