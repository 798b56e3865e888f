import QtQuick
import Tender

Placeholder {
    objectName: "settingsView"
    title: "Настройки"
}
