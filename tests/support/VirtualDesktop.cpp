#include "VirtualDesktop.h"

#include <QDeadlineTimer>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace tender::test {

namespace {

// Starting an X server, a window manager or a tray on a cold, loaded machine
// takes a while; this only ends a start that hangs.
constexpr int startGuardMs = 60'000;

xcb_window_t rootOf(xcb_connection_t *connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, qstrlen(name), name), nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t selectionOwner(xcb_connection_t *connection, const char *selection)
{
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom(connection, selection)),
                                      nullptr),
        &std::free);
    return owner ? owner->owner : xcb_window_t(XCB_WINDOW_NONE);
}

bool rootHasProperty(xcb_connection_t *connection, const char *name)
{
    const xcb_atom_t named = atom(connection, name);
    if (named == XCB_ATOM_NONE)
        return false;
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> property(
        xcb_get_property_reply(connection, xcb_get_property(connection, 0, rootOf(connection), named, XCB_ATOM_WINDOW, 0, 1),
                               nullptr),
        &std::free);
    return property && xcb_get_property_value_length(property.get()) > 0;
}

} // namespace

VirtualDesktop::VirtualDesktop(QSize screen)
{
    const QString geometry = QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height());
    server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                           QStringLiteral("0"), geometry, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!server_.waitForStarted(startGuardMs))
        return;
    while (!server_.canReadLine() && server_.waitForReadyRead(startGuardMs)) {
    }
    const QString number = QString::fromUtf8(server_.readLine()).trimmed();
    if (number.isEmpty())
        return;
    display_ = u':' + number;

    windowManager_.setProcessEnvironment(environment());
    windowManager_.start(QStringLiteral("openbox"), {});
    ready_ = windowManager_.waitForStarted(startGuardMs) && waitForWindowManager();
}

VirtualDesktop::~VirtualDesktop()
{
    for (QProcess *process : {&tray_, &windowManager_, &server_}) {
        process->terminate();
        if (!process->waitForFinished(5000))
            process->kill();
        process->waitForFinished(1000);
    }
}

QProcessEnvironment VirtualDesktop::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display_);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return environment;
}

bool VirtualDesktop::startTray(const QString &edge)
{
    tray_.setProcessEnvironment(environment());
    tray_.start(QStringLiteral("trayer"), {QStringLiteral("--edge"), edge, QStringLiteral("--align"), QStringLiteral("right"),
                                           QStringLiteral("--widthtype"), QStringLiteral("request"), QStringLiteral("--height"),
                                           QStringLiteral("26"), QStringLiteral("--SetDockType"), QStringLiteral("true"),
                                           QStringLiteral("--SetPartialStrut"), QStringLiteral("true")});
    return tray_.waitForStarted(startGuardMs) && waitForRoot([](xcb_connection_t *connection) {
               return selectionOwner(connection, "_NET_SYSTEM_TRAY_S0") != XCB_WINDOW_NONE;
           });
}

bool VirtualDesktop::setTrayColor(const QColor &color) const
{
    xcb_connection_t *connection = xcb_connect(display_.toLocal8Bit().constData(), nullptr);
    // Normal, error, warning and success colours, red, green and blue in 16 bits each.
    quint32 colors[12] = {};
    colors[0] = color.rgba64().red(), colors[1] = color.rgba64().green(), colors[2] = color.rgba64().blue();
    const xcb_window_t tray = selectionOwner(connection, "_NET_SYSTEM_TRAY_S0");
    std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(
        tray == XCB_WINDOW_NONE ? nullptr
                                : xcb_request_check(connection, xcb_change_property_checked(
                                                                    connection, XCB_PROP_MODE_REPLACE, tray,
                                                                    atom(connection, "_NET_SYSTEM_TRAY_COLORS"),
                                                                    XCB_ATOM_CARDINAL, 32, 12, colors)),
        &std::free);
    xcb_disconnect(connection);
    return tray != XCB_WINDOW_NONE && !error;
}

bool VirtualDesktop::waitForWindowManager() const
{
    return waitForRoot([](xcb_connection_t *connection) { return rootHasProperty(connection, "_NET_SUPPORTING_WM_CHECK"); });
}

bool VirtualDesktop::waitForRoot(const std::function<bool(xcb_connection_t *)> &condition) const
{
    xcb_connection_t *connection = xcb_connect(display_.toLocal8Bit().constData(), nullptr);
    bool met = false;
    const QDeadlineTimer guard(startGuardMs);
    while (!xcb_connection_has_error(connection) && !guard.hasExpired()) {
        met = condition(connection);
        if (met)
            break;
        QThread::msleep(50);
    }
    xcb_disconnect(connection);
    return met;
}

void VirtualDesktop::bringToFront(xcb_connection_t *connection, quint32 window)
{
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = window;
    request.type = atom(connection, "_NET_ACTIVE_WINDOW");
    request.data.data32[0] = 2; // from a pager or task bar
    xcb_send_event(connection, 0, rootOf(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&request));
    xcb_flush(connection);
}

} // namespace tender::test
