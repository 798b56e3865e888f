import QtQuick
import Tender

OutlinedButton {
    implicitHeight: 40
}
