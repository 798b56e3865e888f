import QtQuick
import QtQuick.Layouts
import Tender

RowLayout {
    spacing: 2

    Body {
        text: "О ком ты сейчас думаешь?"
        size: 15
        strong: true
        // system fonts without a semibold cut run wider than the popover allows
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 13
        elide: Text.ElideRight
        Layout.fillWidth: true
    }
    OnlineDot {
        objectName: "onlineDot"
    }
    PauseMenu {
        objectName: "pauseMenu"
    }
    IconButton {
        objectName: "settings"
        symbol: "gearshape"
        help: "Настройки"
        onClicked: AppModel.route = Routes.settings()
    }
}
