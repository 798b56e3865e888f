#pragma once

#include "platform/SoundPlayer.h"

#include <QList>
#include <utility>

namespace tender::test {

class FakeSoundPlayer final : public SoundPlayer {
public:
    void play(const QString &name, float volume) override { played << std::pair(name, volume); }
    QList<std::pair<QString, float>> played;
};

} // namespace tender::test
