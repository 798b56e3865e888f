import QtQuick
import Tender

// Adds a person from an invite, or edits `contact` when one is given.
Placeholder {
    property var contact: null
    property string invite
    objectName: contact === null ? "addForm" : "editForm"
    title: contact === null ? "Добавить по ссылке" : contact.label
}
