#include "records/InviteCode.h"

namespace tender {

namespace {

const QString alphabet = QStringLiteral("23456789ABCDEFGHJKMNPQRSTVWXYZ");
constexpr qsizetype codeLength = 10;

QString after(const QString &text, const QString &marker)
{
    const qsizetype at = text.lastIndexOf(marker);
    return at < 0 ? text : text.mid(at + marker.size());
}

} // namespace

std::optional<QString> inviteID(const QString &text)
{
    QString piece = after(after(text.trimmed(), QStringLiteral("/i/")), QStringLiteral("tender://add/"));
    for (qsizetype i = 0; i < piece.size(); ++i) {
        if (piece[i] == u'/' || piece[i] == u'?' || piece[i] == u'#') {
            piece.truncate(i);
            break;
        }
    }
    const QString check = piece.toUpper().remove(u'-');
    if (check.size() != codeLength)
        return std::nullopt;
    for (QChar symbol : check)
        if (!alphabet.contains(symbol))
            return std::nullopt;
    return piece;
}

} // namespace tender
