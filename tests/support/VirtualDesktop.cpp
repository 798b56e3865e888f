#include "VirtualDesktop.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace tender::test {

namespace {

// Starting an X server, a window manager or a tray on a cold, loaded machine
// takes a while; this only ends a start that hangs.
constexpr int startGuardMs = 60'000;

template<typename Reply>
std::unique_ptr<Reply, decltype(&std::free)> owned(Reply *reply)
{
    return {reply, &std::free};
}

xcb_window_t rootOf(xcb_connection_t *c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    const auto reply = owned(xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, qstrlen(name), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t trayOwner(xcb_connection_t *c)
{
    const auto owner = owned(xcb_get_selection_owner_reply(
        c, xcb_get_selection_owner(c, atom(c, "_NET_SYSTEM_TRAY_S0")), nullptr));
    return owner ? owner->owner : xcb_window_t(XCB_WINDOW_NONE);
}

// A tray hosts icons and the window manager has taken its panel's strip out of the work area.
bool trayHosted(xcb_connection_t *c)
{
    const auto area = owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, rootOf(c), atom(c, "_NET_WORKAREA"), XCB_ATOM_CARDINAL, 0, 4), nullptr));
    const auto height = xcb_setup_roots_iterator(xcb_get_setup(c)).data->height_in_pixels;
    return trayOwner(c) != XCB_WINDOW_NONE && area && xcb_get_property_value_length(area.get()) == 16
        && static_cast<const quint32 *>(xcb_get_property_value(area.get()))[3] < height;
}

} // namespace

VirtualDesktop::VirtualDesktop(QSize screen)
{
    const QString geometry = QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height());
    server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", geometry, "-nolisten", "tcp"});
    if (!server_.waitForStarted(startGuardMs))
        return;
    while (!server_.canReadLine() && server_.waitForReadyRead(startGuardMs)) {
    }
    const QString number = QString::fromUtf8(server_.readLine()).trimmed();
    if (number.isEmpty())
        return;
    display_ = u':' + number;
    // Openbox announces itself before it handles requests, and a window mapped in between (the
    // tray's panel, under load) stays unmapped for good; its start-up command runs once it handles them.
    const QTemporaryDir scratch;
    const QString running = scratch.filePath("running");
    windowManager_.setProcessEnvironment(environment());
    windowManager_.start("openbox", {"--startup", "touch " + running});
    const QDeadlineTimer guard(startGuardMs);
    while (windowManager_.state() != QProcess::NotRunning && !QFile::exists(running) && !guard.hasExpired())
        QThread::msleep(50);
    ready_ = QFile::exists(running);
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
    environment.insert("DISPLAY", display_);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    return environment;
}

bool VirtualDesktop::startTray(const QString &edge)
{
    tray_.setProcessEnvironment(environment());
    tray_.start("trayer", {"--edge", edge, "--align", "right", "--widthtype", "request", "--height", "26",
                           "--SetDockType", "true", "--SetPartialStrut", "true"});
    if (!tray_.waitForStarted(startGuardMs))
        return false;
    xcb_connection_t *c = xcb_connect(display_.toLocal8Bit().constData(), nullptr);
    const QDeadlineTimer guard(startGuardMs);
    bool hosted = false;
    while (!xcb_connection_has_error(c) && !guard.hasExpired() && !(hosted = trayHosted(c)))
        QThread::msleep(50);
    xcb_disconnect(c);
    return hosted;
}

bool VirtualDesktop::setTrayColor(const QColor &color) const
{
    xcb_connection_t *c = xcb_connect(display_.toLocal8Bit().constData(), nullptr);
    // Normal, error, warning and success colours, red, green and blue in 16 bits each.
    const quint32 colors[12] = {color.rgba64().red(), color.rgba64().green(), color.rgba64().blue()};
    const xcb_window_t tray = trayOwner(c);
    const bool set = tray != XCB_WINDOW_NONE
        && !owned(xcb_request_check(c, xcb_change_property_checked(c, XCB_PROP_MODE_REPLACE, tray,
                                                                   atom(c, "_NET_SYSTEM_TRAY_COLORS"),
                                                                   XCB_ATOM_CARDINAL, 32, 12, colors)));
    xcb_disconnect(c);
    return set;
}

void VirtualDesktop::bringToFront(xcb_connection_t *c, quint32 window)
{
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = window;
    request.type = atom(c, "_NET_ACTIVE_WINDOW");
    request.data.data32[0] = 2; // from a pager or task bar
    xcb_send_event(c, 0, rootOf(c), XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&request));
    xcb_flush(c);
}

} // namespace tender::test
