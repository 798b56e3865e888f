#pragma once

#include "platform/SoundPlayer.h"

#include <QHash>
#include <QObject>

class QSoundEffect;

namespace tender {

// Sounds shipped as resources (":/tender/sounds/<name>.wav"), each loaded once
// into a QSoundEffect on first use.
class QtSoundPlayer final : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    explicit QtSoundPlayer(QObject *parent = nullptr);

    void play(const QString &name, float volume) override;

    // The effect that plays `name`; null when there is no such sound.
    QSoundEffect *effect(const QString &name);

private:
    QHash<QString, QSoundEffect *> effects_;
};

} // namespace tender
