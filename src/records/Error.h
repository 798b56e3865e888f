#pragma once

#include <QString>

#include <exception>

namespace tender {

// Base of every failure an asynchronous operation can throw. description() is
// the one-line Russian text the screens show.
class Error : public std::exception {
public:
    virtual QString description() const = 0;
    const char *what() const noexcept override;

private:
    mutable QByteArray what_;
};

} // namespace tender
