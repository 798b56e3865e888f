#pragma once

#include <QString>

#include <sys/types.h>

struct xcb_connection_t;

namespace tender::bench {

// Looks at an X display for windows a process has on screen (its tray icon
// counts once the tray has embedded it).
class MappedWindow {
public:
    explicit MappedWindow(const QString &display);
    ~MappedWindow();

    bool isConnected() const;
    bool shownBy(pid_t pid) const;

private:
    bool shownBelow(quint32 window, pid_t pid) const;

    xcb_connection_t *connection_;
    quint32 pidAtom_ = 0;
};

} // namespace tender::bench
