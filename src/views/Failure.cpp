#include "views/Failure.h"

#include "model/Error.h"
#include "service/AuthError.h"

namespace tender::views {

QString describe(const std::exception_ptr &failure, const QString &fallback)
{
    try {
        std::rethrow_exception(failure);
    } catch (const Error &error) {
        return error.description();
    } catch (...) {
        return fallback;
    }
}

bool endsSession(const std::exception_ptr &failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const AuthError &error) {
        return error.endsSession();
    } catch (...) {
        return false;
    }
}

} // namespace tender::views
