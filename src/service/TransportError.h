#pragma once

#include "records/Error.h"

namespace tender {

// No HTTP answer at all: offline, refused, timed out, a broken TLS handshake.
class TransportError : public Error {
public:
    enum class Kind { NoConnection, TimedOut, Dropped, Tls, TooLarge, Other };

    TransportError(Kind kind, QString detail) : kind_(kind), detail_(std::move(detail)) {}

    Kind kind() const { return kind_; }
    const QString &detail() const { return detail_; }
    QString description() const override;

private:
    Kind kind_;
    QString detail_;
};

} // namespace tender
