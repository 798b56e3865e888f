#pragma once

#include <QFont>
#include <QList>
#include <QObject>
#include <QQmlEngine>
#include <QString>

namespace tender::views {

// Emoji in the popover's texts. The default font may carry monochrome glyphs
// of its own for emoji (DejaVu does), which would win over any fallback, so
// the views draw each run of emoji in the colour emoji font themselves.
namespace Emoji {

inline const QString family = QStringLiteral("Noto Color Emoji");

struct Run {
    qsizetype start;
    qsizetype length;
};

// The runs of whole graphemes shown as emoji: those whose first character
// defaults to emoji presentation, or that ask for it (U+FE0F, a keycap);
// U+FE0E keeps a grapheme text.
QList<Run> runs(QStringView text);
// Rich text for a Text item: the text as it stands, emoji runs in `family`.
QString markup(const QString &text);
// The width of one line of `text` in `font`, emoji in `family`.
qreal width(const QString &text, const QFont &font);
// The longest start of `text` that fits `width` with "…" after it, cut
// between graphemes; the text itself when it fits.
QString elided(const QString &text, const QFont &font, qreal width);

} // namespace Emoji

class EmojiText : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Emoji)
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE bool has(const QString &text) const { return !Emoji::runs(text).isEmpty(); }
    Q_INVOKABLE QString markup(const QString &text) const { return Emoji::markup(text); }
    Q_INVOKABLE qreal width(const QString &text, const QFont &font) const { return Emoji::width(text, font); }
    Q_INVOKABLE QString elided(const QString &text, const QFont &font, qreal width) const
    {
        return Emoji::elided(text, font, width);
    }
};

} // namespace tender::views
