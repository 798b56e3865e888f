#pragma once

#include <QColor>
#include <QMetaType>
#include <QString>

namespace tender {

// A named colour of the palette; values are 0xRRGGBB.
struct PaletteColor {
    Q_GADGET
    Q_PROPERTY(QString name MEMBER name CONSTANT)
    Q_PROPERTY(QColor color READ mainColor CONSTANT)
    Q_PROPERTY(QColor tint READ tintColor CONSTANT)
    Q_PROPERTY(QColor deep READ deepColor CONSTANT)

public:
    QString name;
    quint32 color = 0;
    quint32 tint = 0;
    quint32 deep = 0;

    static QColor toColor(quint32 rgb);
    QColor mainColor() const { return toColor(color); }
    QColor tintColor() const { return toColor(tint); }
    QColor deepColor() const { return toColor(deep); }

    friend bool operator==(const PaletteColor &, const PaletteColor &) = default;
};

} // namespace tender

Q_DECLARE_METATYPE(tender::PaletteColor)
