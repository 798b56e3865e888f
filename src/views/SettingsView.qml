import QtQuick
import QtQuick.Controls.Basic as Basic
import QtQuick.Layouts
import Tender

// Settings: how a signal looks, when it may come, the devices; the account
// below. The screen grows with its content up to what the screen can show.
Item {
    id: view
    objectName: "settingsView"
    property int tab: Tabs.SettingsTab.Signal
    readonly property real contentHeight: content.implicitHeight
    implicitHeight: Math.min(contentHeight, space.heightLimit)

    ScreenSpace {
        id: space
        window: view.Window.window
    }

    Flickable {
        id: scroller
        objectName: "settingsScroll"
        anchors.fill: parent
        contentWidth: width
        contentHeight: view.contentHeight
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        Basic.ScrollBar.vertical: scrollBar

        ColumnLayout {
            id: content
            width: scroller.width
            spacing: 14

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
                    text: "Настройки"
                    size: 15
                    strong: true
                    Layout.fillWidth: true
                }
            }
            Tabs {
                objectName: "tabs"
                selection: view.tab
                onSelected: tab => view.tab = tab
                Layout.fillWidth: true
            }
            Loader {
                objectName: "tabBody"
                Layout.fillWidth: true
                sourceComponent: [signalTab, whenTab, devicesTab][view.tab]
            }
            Rectangle {
                implicitHeight: 1
                color: Theme.hairline
                Layout.fillWidth: true
            }
            AccountBlock {
                Layout.fillWidth: true
            }
        }
    }

    // In the popover's padding, so it never covers a switch.
    Basic.ScrollBar {
        id: scrollBar
        objectName: "settingsScrollBar"
        anchors.left: scroller.right
        anchors.leftMargin: 3
        anchors.top: scroller.top
        anchors.bottom: scroller.bottom
        width: 7
        policy: scroller.contentHeight > scroller.height ? Basic.ScrollBar.AlwaysOn : Basic.ScrollBar.AlwaysOff
        contentItem: Rectangle {
            implicitWidth: 5
            radius: 2.5
            color: Theme.ink
            opacity: scrollBar.pressed ? 0.45 : 0.3
        }
        background: Item {}
    }

    // Keeps what the keyboard reaches in sight.
    Connections {
        target: view.Window.window
        function onActiveFocusItemChanged() {
            const item = view.Window.activeFocusItem
            let inside = false
            for (let parent = item; parent && !inside; parent = parent.parent)
                inside = parent === content
            if (!inside)
                return
            const top = content.mapFromItem(item, 0, 0).y
            if (top < scroller.contentY)
                scroller.contentY = Math.max(0, top - 8)
            else if (top + item.height > scroller.contentY + scroller.height)
                scroller.contentY = Math.min(scroller.contentHeight - scroller.height, top + item.height + 8 - scroller.height)
        }
    }

    Component { id: signalTab; SignalSettings {} }
    Component { id: whenTab; WhenSettings {} }
    Component { id: devicesTab; DevicesView {} }
}
