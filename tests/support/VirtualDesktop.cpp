#include "VirtualDesktop.h"

#include <QDeadlineTimer>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace tender::test {

namespace {

// Starting an X server and a window manager on a cold, loaded machine takes a
// while; this only ends a start that hangs.
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

bool rootHasProperty(xcb_connection_t *connection, const char *name)
{
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> property(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, rootOf(connection), atom(connection, name),
                                                XCB_ATOM_WINDOW, 0, 1),
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
    for (QProcess *process : {&windowManager_, &server_}) {
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

bool VirtualDesktop::waitForWindowManager() const
{
    xcb_connection_t *connection = xcb_connect(display_.toLocal8Bit().constData(), nullptr);
    bool announced = false;
    const QDeadlineTimer guard(startGuardMs);
    while (!xcb_connection_has_error(connection) && windowManager_.state() == QProcess::Running && !guard.hasExpired()) {
        announced = rootHasProperty(connection, "_NET_SUPPORTING_WM_CHECK");
        if (announced)
            break;
        QThread::msleep(50);
    }
    xcb_disconnect(connection);
    return announced;
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
