#include "views/Failure.h"

#include "records/Error.h"

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

QString describe(const std::exception_ptr &failure)
{
    return describe(failure, QStringLiteral("Что-то пошло не так. Попробуй ещё раз."));
}

} // namespace tender::views
