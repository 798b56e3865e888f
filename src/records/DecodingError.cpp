#include "records/DecodingError.h"

namespace tender {

QString DecodingError::description() const
{
    return QStringLiteral("Сервер ответил что-то непонятное, попробуй ещё раз");
}

} // namespace tender
