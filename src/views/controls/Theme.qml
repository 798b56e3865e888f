pragma Singleton
import QtQuick
import Tender

// Every colour and size of the popover. Screens take their colours from here.
QtObject {
    readonly property color ink: "#3B2A23"
    readonly property color muted: "#6E554A"
    readonly property color faint: "#7A6156"
    readonly property color paper: "#FFFBF6"
    readonly property color field: "#F8EFE6"
    readonly property color well: "#F2E6DA"
    readonly property color link: "#B83A4E"
    readonly property color heart: "#E0596B"
    readonly property color ok: "#39744A"
    readonly property color danger: "#B3261E"
    readonly property color hairline: Qt.rgba(0x54 / 255, 0x30 / 255, 0x1E / 255, 0.22)
    readonly property color white: "#FFFFFF"

    readonly property color switchTint: "#3FA05A"
    // An off switch's track: dark enough to stand out on the rows' fills.
    readonly property color switchOff: "#948276"
    readonly property color onlineGreen: "#6FAE7C"

    // The random-heart button and the stars of the lists.
    readonly property color anyoneStar: "#E5A93B"
    readonly property color anyoneWait: "#8A6A5E"
    readonly property var anyoneGradient: ["#FBE3D2", "#FCE6EA", "#F3E4F3"]
    readonly property color starOn: "#D99A1E"
    readonly property color starOff: "#B9A596"
    readonly property color dashedRing: "#B9A596"
    // The settings' effect preview button and the strangers' hearts row.
    readonly property color previewFill: "#FDE3E6"
    readonly property color previewInk: "#8E2537"
    readonly property color anyoneRow: "#F3E4F3"
    // The disc behind the heart of the sign-in greeting.
    readonly property color heartDisc: "#FDE3E6"

    readonly property real popoverWidth: 330
    readonly property real popoverPadding: 14
    readonly property real baseFont: 13

    // Sizes are given in points of a 1x screen; fonts take whole pixels.
    function px(points) {
        return Math.round(points)
    }
}
