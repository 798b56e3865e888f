#pragma once

#include <QColor>
#include <QQuickPaintedItem>

namespace tender::views {

// One of our own symbol icons (symbols/<name>.svg), drawn in a single colour.
// The icons are black silhouettes; the colour replaces their ink.
class Symbol : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(qreal size READ size WRITE setSize NOTIFY sizeChanged)

public:
    explicit Symbol(QQuickItem *parent = nullptr);

    static bool exists(const QString &name);

    QString name() const { return name_; }
    void setName(const QString &name);
    QColor color() const { return color_; }
    void setColor(const QColor &color);
    qreal size() const { return size_; }
    void setSize(qreal size);

    void paint(QPainter *painter) override;

signals:
    void nameChanged();
    void colorChanged();
    void sizeChanged();

private:
    QString name_;
    QColor color_ = Qt::black;
    qreal size_ = 16;
};

} // namespace tender::views
