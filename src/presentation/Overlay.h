#pragma once

#include <QColor>
#include <QStringList>

namespace tender {

// The glow and flying emoji over every screen that show a signal.
class Overlay {
public:
    virtual ~Overlay() = default;

    // Starts one effect on every screen; a second call replaces the glow and
    // lets the earlier emoji finish their flight.
    virtual void play(QColor color, QStringList emoji, int count, bool calm) = 0;
    // Makes the windows again for the current screens, dropping a running effect.
    virtual void rebuild() = 0;

    // The emoji of a heart received or sent.
    static const QStringList warm;
    // The emoji of a signal to someone in the world.
    static const QStringList stars;
};

} // namespace tender
