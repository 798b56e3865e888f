#include "platform/DesktopEntry.h"

#include <QStringList>

namespace tender::DesktopEntry {

QString execArgument(const QString &program)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=%");
    const bool needsQuotes = std::any_of(program.cbegin(), program.cend(),
                                         [](QChar c) { return reserved.contains(c); });
    QString argument;
    if (!needsQuotes) {
        argument = program;
    } else {
        QString escaped;
        for (QChar c : program) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                escaped += u'\\';
            escaped += c;
        }
        argument = u'"' + escaped + u'"';
    }
    // The key's value is itself a string: a backslash there is written twice,
    // and a percent sign would start a field code.
    return argument.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("%%"));
}

bool isHidden(const QString &content)
{
    bool inMainGroup = false;
    for (QString line : content.split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == u"[Desktop Entry]";
            continue;
        }
        if (!inMainGroup)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0 && line.left(equals).trimmed() == u"Hidden")
            return line.mid(equals + 1).trimmed() == u"true";
    }
    return false;
}

} // namespace tender::DesktopEntry
