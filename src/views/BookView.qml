import QtQuick
import Tender

Placeholder {
    objectName: "bookView"
    title: "Вся книга · " + AppModel.contacts.length
}
