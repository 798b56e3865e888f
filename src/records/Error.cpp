#include "records/Error.h"

namespace tender {

const char *Error::what() const noexcept
{
    what_ = description().toUtf8();
    return what_.constData();
}

} // namespace tender
