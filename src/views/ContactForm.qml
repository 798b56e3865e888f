import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Tender

// Adds a person from an invite link, or edits `contact` when one is given.
ColumnLayout {
    id: form
    property var contact: null
    property string invite
    readonly property var swatch: PaletteColors.at(editor.color)
    objectName: contact === null ? "addForm" : "editForm"
    spacing: 14

    ContactEditor {
        id: editor
        contact: form.contact
        invite: form.invite
    }
    Component.onCompleted: {
        editor.start()
        const first = editor.editing || editor.lookup === LinkLookup.Ready ? nameInput : linkInput
        first.forceActiveFocus()
    }

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
            objectName: "formTitle"
            text: editor.editing ? "Изменить" : "Новый человек"
            size: 15
            strong: true
            Layout.fillWidth: true
        }
    }

    ColumnLayout {
        visible: !editor.editing
        // the note sits closer to its field than the form's rows to each other
        spacing: 8
        Layout.fillWidth: true
        Field {
            title: "Ссылка-приглашение"
            Layout.fillWidth: true
            FieldInput {
                id: linkInput
                objectName: "linkInput"
                text: editor.link
                placeholderText: editor.webHost + "/i/…"
                inputMethodHints: Qt.ImhUrlCharactersOnly | Qt.ImhNoPredictiveText | Qt.ImhNoAutoUppercase
                label: "Ссылка-приглашение"
                onTextChanged: editor.link = text
            }
        }
        RowLayout {
            objectName: "lookupNote"
            readonly property string text: lookupText.text
            spacing: 4
            Layout.fillWidth: true
            Symbol {
                visible: editor.lookup === LinkLookup.Ready
                name: "checkmark"
                size: 13
                color: Theme.ok
            }
            Body {
                id: lookupText
                size: 12.5
                wrapMode: Text.Wrap
                Layout.fillWidth: true
                text: editor.lookup === LinkLookup.Ready ? "Ссылка в порядке. Осталось подписать."
                    : editor.lookup === LinkLookup.Invalid ? "Не похоже на ссылку-приглашение"
                    : "Вставь ссылку, которую тебе прислали"
                color: editor.lookup === LinkLookup.Ready ? Theme.ok
                     : editor.lookup === LinkLookup.Invalid ? Theme.muted
                     : Theme.faint
            }
        }
    }

    Field {
        title: "Как назовёшь?"
        Layout.fillWidth: true
        FieldInput {
            id: nameInput
            objectName: "nameInput"
            text: editor.name
            placeholderText: "Например, Мама"
            label: "Как назовёшь?"
            onTextChanged: editor.name = text
            onAccepted: editor.save()
        }
    }

    ColumnLayout {
        spacing: 8
        Layout.fillWidth: true
        RowLayout {
            Layout.fillWidth: true
            Caption {
                text: "Цвет"
            }
            Item {
                Layout.fillWidth: true
            }
            Body {
                objectName: "colorName"
                text: form.swatch.name
                size: 12
                color: form.swatch.deep
            }
        }
        SwatchPicker {
            objectName: "swatches"
            selection: editor.color
            size: 30
            onSelected: index => editor.color = index
        }
    }

    T.Switch {
        id: closeSwitch
        objectName: "closeSwitch"
        checked: editor.close
        onToggled: editor.close = checked
        leftPadding: 12
        rightPadding: 12 + indicator.width + spacing
        topPadding: 8
        bottomPadding: 8
        spacing: 8
        implicitWidth: implicitContentWidth + leftPadding + rightPadding
        implicitHeight: implicitContentHeight + topPadding + bottomPadding
        Layout.fillWidth: true
        Accessible.name: "Близкий человек"
        Accessible.description: "Кружок наверху меню, первым на плате"

        indicator: SwitchIndicator {
            x: closeSwitch.width - width - 12
            y: (closeSwitch.height - height) / 2
            checked: closeSwitch.checked
        }
        contentItem: ColumnLayout {
            spacing: 1
            Body {
                text: "Близкий человек"
                size: 13.5
            }
            Body {
                text: "Кружок наверху меню, первым на плате"
                size: 11.5
                color: Theme.muted
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
        }
        background: Rectangle {
            radius: 10
            color: Theme.field
        }
    }

    ColumnLayout {
        spacing: 6
        Layout.fillWidth: true
        Caption {
            text: "В меню будет так"
        }
        ContactPreview {
            name: editor.trimmedName
            close: editor.close
            swatch: form.swatch
            Layout.fillWidth: true
        }
    }

    Body {
        objectName: "formError"
        visible: editor.error !== ""
        text: editor.error
        size: 12
        color: Theme.danger
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }

    PrimaryButton {
        objectName: "save"
        text: editor.busy ? "Сохраняем…" : editor.editing ? "Сохранить" : "Добавить"
        enabled: editor.canSave && !editor.busy
        Layout.fillWidth: true
        onClicked: editor.save()
        Keys.onReturnPressed: editor.save()
        Keys.onEnterPressed: editor.save()
    }

    TextButton {
        objectName: "removeAsk"
        visible: editor.editing && !editor.confirmDelete
        text: "Убрать из списка"
        size: 12.5
        tint: Theme.danger
        onClicked: editor.confirmDelete = true
    }
    RowLayout {
        visible: editor.editing && editor.confirmDelete
        spacing: 12
        Layout.fillWidth: true
        Body {
            objectName: "removeQuestion"
            text: "Убрать «" + editor.storedLabel + "» из списка?"
            size: 12.5
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        TextButton {
            objectName: "removeNo"
            text: "Нет"
            size: 12.5
            tint: Theme.muted
            onClicked: editor.confirmDelete = false
        }
        TextButton {
            objectName: "removeYes"
            text: "Убрать"
            size: 12.5
            tint: Theme.danger
            enabled: !editor.removing
            onClicked: editor.remove()
        }
    }

    Note {
        objectName: "closingNote"
        text: (editor.trimmedName === "" ? "Человек" : editor.trimmedName)
              + " не увидит ни имя, ни цвет. Порядок кружков меняется через правый клик."
        Layout.topMargin: -4
        Layout.fillWidth: true
    }
}
