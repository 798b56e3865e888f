#pragma once

#include <QString>

#include <exception>

namespace tender::views {

// The Russian line a screen shows for a failed operation: the error's own
// description, or `fallback` for a failure that has none.
QString describe(const std::exception_ptr &failure, const QString &fallback);
// The same with a general "something went wrong" for the fallback.
QString describe(const std::exception_ptr &failure);

} // namespace tender::views
