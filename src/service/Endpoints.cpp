#include "service/Endpoints.h"

namespace tender {

QUrl Endpoints::join(const QUrl &base, const QString &path)
{
    QString text = base.toString(QUrl::FullyEncoded);
    if (!text.endsWith(u'/'))
        text += u'/';
    const QStringList segments = path.split(u'/');
    for (qsizetype i = 0; i < segments.size(); ++i) {
        if (i > 0)
            text += u'/';
        text += QString::fromLatin1(QUrl::toPercentEncoding(segments[i]));
    }
    return QUrl(text, QUrl::StrictMode);
}

} // namespace tender
