#include "views/Symbol.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QQuickWindow>
#include <QSvgRenderer>

namespace tender::views {

namespace {

QString pathOf(const QString &name)
{
    return QStringLiteral(":/qt/qml/Tender/symbols/%1.svg").arg(name);
}

} // namespace

Symbol::Symbol(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
    setImplicitSize(size_, size_);
}

bool Symbol::exists(const QString &name)
{
    return QFile::exists(pathOf(name));
}

void Symbol::setName(const QString &name)
{
    if (name == name_)
        return;
    name_ = name;
    emit nameChanged();
    update();
}

void Symbol::setColor(const QColor &color)
{
    if (color == color_)
        return;
    color_ = color;
    emit colorChanged();
    update();
}

void Symbol::setSize(qreal size)
{
    if (qFuzzyCompare(size, size_))
        return;
    size_ = size;
    setImplicitSize(size, size);
    emit sizeChanged();
}

void Symbol::paint(QPainter *painter)
{
    QSvgRenderer renderer(pathOf(name_));
    if (!renderer.isValid())
        return;
    const qreal ratio = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    const qreal side = qMin(width(), height());
    QImage image(QSize(qCeil(side * ratio), qCeil(side * ratio)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter ink(&image);
        renderer.render(&ink);
        ink.setCompositionMode(QPainter::CompositionMode_SourceIn);
        ink.fillRect(image.rect(), color_);
    }
    image.setDevicePixelRatio(ratio);
    painter->drawImage(QPointF((width() - side) / 2, (height() - side) / 2), image);
}

} // namespace tender::views
