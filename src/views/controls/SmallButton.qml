import QtQuick
import Tender

OutlinedButton {
    implicitHeight: 32
    textSize: 12.5
    strongText: false
    radius: 8
}
