import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Tender

// The once-an-hour heart to a random person, redrawn every ten seconds.
ColumnLayout {
    id: control
    spacing: 6

    Timeline {
        id: timeline
        interval: 10000
    }
    // Whole minutes still to wait, or -1 when a heart may go now.
    readonly property int wait: {
        AppModel.anyoneSentAt
        const minutes = AppModel.anyoneWait(timeline.now)
        return minutes > 0 ? minutes : -1
    }
    readonly property bool justSent: {
        const at = AppModel.anyoneSentAt
        const since = timeline.now.getTime() - at.getTime()
        return !isNaN(since) && since < 120 * 1000
    }

    T.Button {
        id: button
        objectName: "anyone"
        enabled: control.wait < 0 && !AppModel.anyoneSending
        implicitHeight: 44
        leftPadding: 14
        rightPadding: 14
        Layout.fillWidth: true
        Accessible.name: title.text
        Accessible.description: hint.text
        onClicked: AppModel.sendToAnyone()

        contentItem: RowLayout {
            spacing: 10
            opacity: AppModel.anyoneSending ? 0.6 : 1.0
            Symbol {
                name: "star.fill"
                size: 17
                color: Theme.anyoneStar
            }
            Body {
                id: title
                objectName: "anyoneTitle"
                text: control.justSent ? "Улетело кому-то ♥" : "Кому-нибудь на свете"
                size: 14
                strong: true
                elide: Text.ElideRight
                Layout.fillWidth: true
            }
            Body {
                objectName: "anyoneWait"
                text: control.wait < 0 ? "раз в час" : "через " + control.wait + " мин"
                size: 12
                color: Theme.anyoneWait
            }
        }
        background: Item {
            opacity: AppModel.anyoneSending ? 0.6 : 1.0
            Rectangle {
                // the shadow: ink at 0.12, one point down
                anchors.fill: parent
                anchors.topMargin: 1
                anchors.bottomMargin: -1
                radius: 12
                color: Theme.ink
                opacity: 0.12
            }
            Rectangle {
                anchors.fill: parent
                radius: 12
                gradient: Gradient {
                    orientation: Gradient.Horizontal
                    GradientStop { position: 0.0; color: Theme.anyoneGradient[0] }
                    GradientStop { position: 0.5; color: Theme.anyoneGradient[1] }
                    GradientStop { position: 1.0; color: Theme.anyoneGradient[2] }
                }
            }
        }
    }
    Note {
        id: hint
        objectName: "anyoneHint"
        text: control.justSent ? "Где-то сейчас засветился экран. Кто это, не узнаешь ни ты, ни он."
                               : "Сигнал уйдёт случайному человеку. Он не узнает, от кого."
        Layout.fillWidth: true
        Layout.leftMargin: 4
        Layout.rightMargin: 4
    }
}
