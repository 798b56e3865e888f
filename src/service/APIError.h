#pragma once

#include "records/Error.h"

namespace tender {

// A non-success answer of the service: its HTTP status and its "error" text.
class APIError : public Error {
public:
    APIError(int status, QString message) : status_(status), message_(std::move(message)) {}

    int status() const { return status_; }
    const QString &message() const { return message_; }
    QString description() const override;

    // The "error" string of an answer body, or "" when there is none.
    static QString messageOf(const QByteArray &body);

private:
    int status_;
    QString message_;
};

} // namespace tender
