#pragma once

#include "presentation/RandomSource.h"

#include <QRandomGenerator>

#include <optional>

namespace tender {

class SystemRandom final : public RandomSource {
public:
    // A seed makes runs repeatable (benchmarks); without one the system's entropy is used.
    explicit SystemRandom(std::optional<quint32> seed = std::nullopt)
        : generator_(seed ? QRandomGenerator(*seed) : QRandomGenerator::securelySeeded()) {}

    double unit() override { return generator_.generateDouble(); }

private:
    QRandomGenerator generator_;
};

} // namespace tender
