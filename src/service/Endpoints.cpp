#include "service/Endpoints.h"

namespace tender {

namespace {

// Allowed in a path segment besides the unreserved characters.
const QByteArray pathCharacters = QByteArrayLiteral("!$&'()*+,;=:@");

} // namespace

QUrl Endpoints::join(const QUrl &base, const QString &path)
{
    QString text = base.toString(QUrl::FullyEncoded);
    if (!text.endsWith(u'/'))
        text += u'/';
    const QStringList segments = path.split(u'/');
    for (qsizetype i = 0; i < segments.size(); ++i) {
        if (i > 0)
            text += u'/';
        text += QString::fromLatin1(QUrl::toPercentEncoding(segments[i], pathCharacters));
    }
    return QUrl(text, QUrl::StrictMode);
}

} // namespace tender
