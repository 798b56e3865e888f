#pragma once

#include <QColor>
#include <QProcess>
#include <QSize>
#include <QString>

struct xcb_connection_t;

namespace tender::test {

// An X server of the test's own (Xvfb on a free display) with openbox as its
// window manager, for checks that need real windows. Stopped when destroyed.
class VirtualDesktop {
public:
    explicit VirtualDesktop(QSize screen = QSize(1280, 800));
    ~VirtualDesktop();

    // Whether the server runs and the window manager has announced itself.
    bool isReady() const { return ready_; }
    QString display() const { return display_; }
    // This environment with DISPLAY pointing here and Qt on xcb.
    QProcessEnvironment environment() const;
    // A panel with a system tray (trayer) along the "top" or "bottom" edge, keeping its strip free
    // of windows; true once it hosts icons and the window manager keeps windows off its strip.
    bool startTray(const QString &edge);
    // What a tray host says of its panel: its text colour (as _NET_SYSTEM_TRAY_COLORS);
    // true once the X server has it.
    bool setTrayColor(const QColor &color) const;

    // Asks the window manager to activate `window` as a task bar would on a
    // click, which it obeys whatever its policy for new windows.
    static void bringToFront(xcb_connection_t *connection, quint32 window);

private:
    QProcess server_;
    QProcess windowManager_;
    QProcess tray_;
    QString display_;
    bool ready_ = false;
};

} // namespace tender::test
