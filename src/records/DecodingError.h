#pragma once

#include "records/Error.h"

namespace tender {

// An answer that is not the JSON we expect: a missing or mistyped key.
class DecodingError : public Error {
public:
    explicit DecodingError(QString detail) : detail_(std::move(detail)) {}
    QString description() const override;
    const QString &detail() const { return detail_; }

private:
    QString detail_;
};

} // namespace tender
