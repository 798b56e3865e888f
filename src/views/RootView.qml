import QtQuick
import Tender

// The popover's content: sign-in while signed out, else the screen of the route.
Rectangle {
    id: root
    objectName: "rootView"
    width: Theme.popoverWidth
    height: implicitHeight
    implicitWidth: Theme.popoverWidth
    implicitHeight: screen.implicitHeight + 2 * Theme.popoverPadding
    color: Theme.paper

    readonly property var editedContact: {
        const route = AppModel.route
        if (route.kind !== Route.Edit)
            return null
        const found = AppModel.contacts.find(contact => contact.id === route.id)
        return found === undefined ? null : found
    }
    readonly property Component current: {
        if (!AppModel.signedIn)
            return signIn
        switch (AppModel.route.kind) {
        case Route.Add: return contactForm
        case Route.Edit: return editedContact === null ? main : contactForm
        case Route.Book: return book
        case Route.Settings: return settings
        default: return main
        }
    }

    Loader {
        id: screen
        x: Theme.popoverPadding
        y: Theme.popoverPadding
        width: root.width - 2 * Theme.popoverPadding
        sourceComponent: root.current
    }

    Component { id: signIn; SignInView {} }
    Component { id: main; MainView {} }
    Component { id: book; BookView {} }
    Component { id: settings; SettingsView {} }
    Component {
        id: contactForm
        ContactForm {
            contact: root.editedContact
            invite: AppModel.route.invite
        }
    }
}
