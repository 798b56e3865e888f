#pragma once

#include "presentation/RandomSource.h"

#include <QList>

namespace tender::test {

// A random source that repeats the numbers it was given, in order.
class SequenceRandom final : public RandomSource {
public:
    explicit SequenceRandom(QList<double> values) : values_(std::move(values)) { Q_ASSERT(!values_.isEmpty()); }

    double unit() override { return values_.at(next_++ % values_.size()); }
    qsizetype drawn() const { return next_; }
    void replace(QList<double> values)
    {
        Q_ASSERT(!values.isEmpty());
        values_ = std::move(values);
        next_ = 0;
    }

private:
    QList<double> values_;
    qsizetype next_ = 0;
};

} // namespace tender::test
