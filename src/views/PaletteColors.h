#pragma once

#include "model/PaletteColor.h"

#include <QObject>
#include <QQmlEngine>
#include <QVariantList>

namespace tender::views {

// The palette for QML: Palette.all and Palette.at(i) (any index, reduced modulo 12).
class PaletteColors : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Palette)
    QML_SINGLETON
    Q_PROPERTY(QVariantList all READ all CONSTANT)

public:
    using QObject::QObject;

    QVariantList all() const;
    Q_INVOKABLE tender::PaletteColor at(qint64 index) const;
};

} // namespace tender::views
