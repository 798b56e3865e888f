#pragma once

#include <QString>

namespace tender {

// Plays the app's named sounds.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Volume from 0 to 1. A sound that does not exist is skipped silently.
    virtual void play(const QString &name, float volume) = 0;
};

} // namespace tender
