#pragma once

#include "presentation/Overlay.h"

#include <vector>

namespace tender::test {

// Stands in for the screen overlay where a model is tested: keeps every call.
class RecordingOverlay final : public Overlay {
public:
    struct Play {
        QColor color;
        QStringList emoji;
        int count;
        bool calm;

        bool operator==(const Play &) const = default;
    };

    void play(QColor color, QStringList emoji, int count, bool calm) override
    {
        plays.push_back({color, std::move(emoji), count, calm});
    }
    void rebuild() override {}

    std::vector<Play> plays;
};

} // namespace tender::test
