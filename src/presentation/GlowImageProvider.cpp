#include "presentation/GlowImageProvider.h"

#include <QRegularExpression>

#include <climits>
#include <optional>

namespace tender {

namespace {

using Edge = GlowImage::Edge;

constexpr std::pair<Edge, const char *> edgeNames[] = {
    {Edge::Top, "top"}, {Edge::Bottom, "bottom"}, {Edge::Left, "left"}, {Edge::Right, "right"}};

std::optional<Edge> edgeNamed(const QString &name)
{
    for (const auto &[edge, text] : edgeNames)
        if (name == QLatin1String(text))
            return edge;
    return std::nullopt;
}

const char *nameOf(Edge edge)
{
    for (const auto &[each, text] : edgeNames)
        if (each == edge)
            return text;
    return "";
}

} // namespace

GlowImageProvider::GlowImageProvider()
    : QQuickImageProvider(QQuickImageProvider::Image)
    , cache_(64 * 1024 * 1024)
{
}

QString GlowImageProvider::source(QColor color, QSize screen, qreal scale, GlowImage::Edge edge)
{
    return QStringLiteral("image://%1/%2/%3x%4@%5/%6")
        .arg(QLatin1String(name), color.name(QColor::HexArgb).mid(1))
        .arg(screen.width())
        .arg(screen.height())
        .arg(scale)
        .arg(QLatin1String(nameOf(edge)));
}

QImage GlowImageProvider::requestImage(const QString &id, QSize *size, const QSize &)
{
    if (const QImage *cached = cache_.object(id)) {
        *size = cached->size();
        return *cached;
    }
    static const QRegularExpression pattern(QStringLiteral("^([0-9a-f]{8})/(\\d+)x(\\d+)@([0-9.]+)/(\\w+)$"));
    const auto match = pattern.match(id);
    const auto edge = match.hasMatch() ? edgeNamed(match.captured(5)) : std::nullopt;
    const QSize screen(match.captured(2).toInt(), match.captured(3).toInt());
    const qreal scale = match.captured(4).toDouble();
    if (!edge || screen.isEmpty() || scale <= 0 || screen.width() > 32768 || screen.height() > 32768)
        return {};
    const QColor color = QColor::fromString(QString(u'#' + match.captured(1)));
    const QImage image = GlowImage(screen, scale, color).strip(*edge);
    cache_.insert(id, new QImage(image), int(std::min<qsizetype>(image.sizeInBytes(), INT_MAX)));
    *size = image.size();
    return image;
}

} // namespace tender
