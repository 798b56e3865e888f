import QtQuick
import Tender

Canvas {
    id: control
    property color color
    property real lineWidth: 1.5
    onColorChanged: requestPaint()
    onPaint: {
        const context = getContext("2d")
        context.reset()
        context.strokeStyle = control.color
        context.lineWidth = control.lineWidth
        context.setLineDash([4 / lineWidth, 3 / lineWidth])
        context.beginPath()
        context.arc(width / 2, height / 2, Math.min(width, height) / 2 - lineWidth / 2, 0, 2 * Math.PI)
        context.stroke()
    }
}
