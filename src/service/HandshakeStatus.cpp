#include "service/HandshakeStatus.h"

#include <QRegularExpression>

namespace tender {

std::optional<int> refusedHandshakeStatus(const QString &errorString)
{
    static const QRegularExpression pattern(QStringLiteral("http status code: (\\d{3})\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(errorString);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

} // namespace tender
