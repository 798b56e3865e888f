import QtQuick
import QtQuick.Layouts
import Tender

// A screen that is not built yet: its title and the way back.
ColumnLayout {
    id: control
    property string title
    property string note: "Этот экран скоро появится."
    spacing: 8

    RowLayout {
        spacing: 2
        Layout.fillWidth: true
        IconButton {
            objectName: "back"
            symbol: "chevron.left"
            help: "Назад"
            onClicked: AppModel.route = Routes.main()
        }
        Body {
            text: control.title
            size: 15
            strong: true
            Layout.fillWidth: true
        }
    }
    Note {
        text: control.note
        Layout.fillWidth: true
        Layout.bottomMargin: 6
    }
}
