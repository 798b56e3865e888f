#include "VirtualDesktop.h"

#include <QDeadlineTimer>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace tender::test {

namespace {

bool rootHasProperty(xcb_connection_t *connection, const char *name)
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, qstrlen(name), name), nullptr), &std::free);
    if (!atom)
        return false;
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> property(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, screen->root, atom->atom, XCB_ATOM_WINDOW, 0, 1),
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
    if (!server_.waitForStarted(5000))
        return;
    while (!server_.canReadLine() && server_.waitForReadyRead(10000)) {
    }
    const QString number = QString::fromUtf8(server_.readLine()).trimmed();
    if (number.isEmpty())
        return;
    display_ = u':' + number;

    windowManager_.setProcessEnvironment(environment());
    windowManager_.start(QStringLiteral("openbox"), {});
    ready_ = windowManager_.waitForStarted(5000) && waitForWindowManager();
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
    const QDeadlineTimer deadline(10000);
    while (!xcb_connection_has_error(connection) && !deadline.hasExpired()) {
        announced = rootHasProperty(connection, "_NET_SUPPORTING_WM_CHECK");
        if (announced)
            break;
        QThread::msleep(50);
    }
    xcb_disconnect(connection);
    return announced;
}

} // namespace tender::test
