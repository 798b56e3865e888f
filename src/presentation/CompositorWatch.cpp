#include "presentation/CompositorWatch.h"

#include <QGuiApplication>

#if defined(TENDER_HAVE_XCB)
#include <xcb/xcb.h>
#include <xcb/xfixes.h>
#endif

namespace tender {

#if defined(TENDER_HAVE_XCB)

struct CompositorWatch::X11 {
    xcb_connection_t *connection = nullptr;
    xcb_atom_t selection = XCB_ATOM_NONE;
    // The XFixes event that reports a new owner; 0 when the server cannot report it.
    uint8_t ownerChanged = 0;
};

namespace {

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    auto *reply = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

// Asks the server to report every change of the selection's owner.
uint8_t watchOwner(xcb_connection_t *connection, xcb_atom_t selection)
{
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return 0;
    free(xcb_xfixes_query_version_reply(connection, xcb_xfixes_query_version(connection, 5, 0), nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_xfixes_select_selection_input(connection, root, selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(connection);
    return uint8_t(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
}

} // namespace

CompositorWatch::CompositorWatch(QObject *parent)
    : QObject(parent)
    , x11_(std::make_unique<X11>())
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !x11 || !x11->connection())
        return;
    x11_->connection = x11->connection();
    x11_->selection = internAtom(x11_->connection, "_NET_WM_CM_S0");
    if (x11_->selection == XCB_ATOM_NONE)
        return;
    x11_->ownerChanged = watchOwner(x11_->connection, x11_->selection);
    if (x11_->ownerChanged)
        qGuiApp->installNativeEventFilter(this);
    composited_ = readOwner();
}

CompositorWatch::~CompositorWatch()
{
    if (x11_->ownerChanged && qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

bool CompositorWatch::readOwner() const
{
    auto *owner = xcb_get_selection_owner_reply(x11_->connection,
                                                xcb_get_selection_owner(x11_->connection, x11_->selection), nullptr);
    const bool owned = owner && owner->owner != XCB_NONE;
    free(owner);
    return owned;
}

bool CompositorWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != x11_->ownerChanged)
        return false;
    if (reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event)->selection != x11_->selection)
        return false;
    const bool composited = readOwner();
    if (composited != composited_) {
        composited_ = composited;
        emit changed();
    }
    return false;
}

#else

struct CompositorWatch::X11 {};

CompositorWatch::CompositorWatch(QObject *parent)
    : QObject(parent)
{
}

CompositorWatch::~CompositorWatch() = default;

bool CompositorWatch::readOwner() const
{
    return true;
}

bool CompositorWatch::nativeEventFilter(const QByteArray &, void *, qintptr *)
{
    return false;
}

#endif

} // namespace tender
