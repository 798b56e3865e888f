#pragma once

#include "records/PaletteColor.h"

#include <QObject>
#include <QQmlEngine>
#include <QVariantList>

namespace tender::views {

// The palette for QML: PaletteColors.all and PaletteColors.at(i) (any index, reduced modulo 12).
// Not named "Palette": QtQuick has a type of that name, which wins the lookup.
class PaletteColors : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QVariantList all READ all CONSTANT)

public:
    using QObject::QObject;

    QVariantList all() const;
    Q_INVOKABLE tender::PaletteColor at(qint64 index) const;
};

} // namespace tender::views
