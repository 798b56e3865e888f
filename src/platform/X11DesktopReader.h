#pragma once

#include "platform/PresentingRules.h"

#include <memory>

struct xcb_connection_t;

namespace tender {

// Reads the frontmost application and the window list from the window
// manager's EWMH properties on an X connection (the one Qt already holds).
class X11DesktopReader {
public:
    explicit X11DesktopReader(xcb_connection_t *connection, int screen = 0);
    ~X11DesktopReader();

    // False when the EWMH atoms could not be set up; every query is then empty.
    bool isReady() const;

    // The process of _NET_ACTIVE_WINDOW, from its _NET_WM_PID.
    std::optional<qint64> frontPid() const;
    // Viewable windows of _NET_CLIENT_LIST_STACKING, front first; desktop
    // windows get a negative layer.
    QList<DesktopWindow> windows() const;

private:
    struct Ewmh;
    DesktopWindow describe(quint32 window) const;

    xcb_connection_t *connection_;
    int screen_;
    std::unique_ptr<Ewmh> ewmh_;
};

} // namespace tender
