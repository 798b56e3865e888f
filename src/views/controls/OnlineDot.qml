import QtQuick
import Tender

// The connection light: green while the live connection is up.
Item {
    id: control
    readonly property bool online: AppModel.online
    readonly property color tone: online ? Theme.onlineGreen
                                         : Qt.rgba(Theme.faint.r, Theme.faint.g, Theme.faint.b, 0.45)
    readonly property string help: online ? "На связи: сигналы приходят сразу"
                                          : "Нет связи с сервером, переподключаемся…"
    implicitWidth: 24
    implicitHeight: 30
    Accessible.role: Accessible.Indicator
    Accessible.name: help

    Rectangle {
        anchors.centerIn: parent
        width: 16
        height: 16
        radius: 8
        color: control.tone
        opacity: 0.25
        Behavior on color { ColorAnimation { duration: 300; easing.type: Easing.InOutQuad } }
    }
    Rectangle {
        objectName: "dot"
        anchors.centerIn: parent
        width: 9
        height: 9
        radius: 4.5
        color: control.tone
        Behavior on color { ColorAnimation { duration: 300; easing.type: Easing.InOutQuad } }
    }
    HoverHandler {
        id: hover
    }
    Hint {
        text: control.help
        shown: hover.hovered
    }
}
