#include "views/Emoji.h"

#include <QFontMetricsF>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <unicode/uchar.h>

namespace tender::views::Emoji {

namespace {

constexpr char32_t textPresentation = 0xFE0E;
constexpr char32_t emojiPresentation = 0xFE0F;
constexpr char32_t keycap = 0x20E3;

bool shownAsEmoji(QStringView grapheme)
{
    const QList<uint> characters = grapheme.toUcs4();
    if (characters.isEmpty() || characters.contains(textPresentation))
        return false;
    return u_hasBinaryProperty(UChar32(characters.first()), UCHAR_EMOJI_PRESENTATION)
           || characters.contains(emojiPresentation) || characters.contains(keycap);
}

// One line of `text` with its emoji runs in the emoji font, unbroken.
QTextLine layOut(QTextLayout &layout, const QFont &font)
{
    QTextCharFormat emoji;
    emoji.setFontFamilies({family});
    emoji.setFontWeight(QFont::Normal);
    QList<QTextLayout::FormatRange> formats;
    for (const Run &run : runs(layout.text()))
        formats.append({int(run.start), int(run.length), emoji});
    layout.setFont(font);
    layout.setFormats(formats);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setNumColumns(int(layout.text().size()));
    layout.endLayout();
    return line;
}

} // namespace

QList<Run> runs(QStringView text)
{
    QList<Run> found;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    qsizetype start = 0;
    for (qsizetype end = graphemes.toNextBoundary(); end > 0; start = end, end = graphemes.toNextBoundary()) {
        if (!shownAsEmoji(text.sliced(start, end - start)))
            continue;
        if (!found.isEmpty() && found.last().start + found.last().length == start)
            found.last().length += end - start;
        else
            found.append({start, end - start});
    }
    return found;
}

QString markup(const QString &text)
{
    const auto escaped = [&](qsizetype from, qsizetype to) {
        return text.sliced(from, to - from).toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
    };
    QString html = QStringLiteral("<span style=\"white-space:pre-wrap\">");
    qsizetype at = 0;
    for (const Run &run : runs(text)) {
        html += escaped(at, run.start) + QStringLiteral("<span style=\"font-family:'%1'; font-weight:400\">").arg(family)
                + escaped(run.start, run.start + run.length) + QStringLiteral("</span>");
        at = run.start + run.length;
    }
    return html + escaped(at, text.size()) + QStringLiteral("</span>");
}

qreal width(const QString &text, const QFont &font)
{
    QTextLayout layout(text);
    return layOut(layout, font).naturalTextWidth();
}

QString elided(const QString &text, const QFont &font, qreal width)
{
    QTextLayout layout(text);
    const QTextLine line = layOut(layout, font);
    if (line.naturalTextWidth() <= width)
        return text;
    const QString ellipsis(u'…');
    const qreal room = width - QFontMetricsF(font).horizontalAdvance(ellipsis);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    qsizetype fits = 0;
    for (qsizetype end = graphemes.toNextBoundary(); end > 0 && line.cursorToX(int(end)) <= room;
         end = graphemes.toNextBoundary())
        fits = end;
    return text.left(fits) + ellipsis;
}

} // namespace tender::views::Emoji
