#pragma once

#include <QString>

#include <exception>

namespace tender::views {

// The Russian line a screen shows for a failed operation: the error's own
// description, or `fallback` for a failure that has none.
QString describe(const std::exception_ptr &failure, const QString &fallback);
// The failure means the session is gone for good: the user must sign in again.
bool endsSession(const std::exception_ptr &failure);

} // namespace tender::views
