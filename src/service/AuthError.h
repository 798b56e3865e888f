#pragma once

#include "records/Error.h"

#include <exception>

namespace tender {

// A failure of the identity provider or of the local session.
class AuthError : public Error {
public:
    enum class Kind { Server, SignedOut };

    static AuthError server(QString message) { return AuthError(Kind::Server, std::move(message)); }
    static AuthError signedOut() { return AuthError(Kind::SignedOut, {}); }

    Kind kind() const { return kind_; }
    // The provider's message, or one of our own codes ("BAD_RESPONSE", "BAD_CALLBACK", "INVALID_PASSWORD").
    const QString &message() const { return message_; }
    // The message up to its first space.
    QString code() const;
    // The session cannot be refreshed any more: the owner signs out.
    bool endsSession() const;
    QString description() const override;

private:
    AuthError(Kind kind, QString message) : kind_(kind), message_(std::move(message)) {}

    Kind kind_;
    QString message_;
};

// Whether a caught failure is an AuthError that ends the session.
bool endsSession(const std::exception_ptr &failure);

} // namespace tender
