#pragma once

#include "records/Route.h"

#include <QObject>
#include <QQmlEngine>

namespace tender::views {

// Builds route values for QML, which cannot call the gadget's static factories.
class Routes : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE tender::Route main() const { return Route::main(); }
    Q_INVOKABLE tender::Route book() const { return Route::book(); }
    Q_INVOKABLE tender::Route settings() const { return Route::settings(); }
    Q_INVOKABLE tender::Route add() const { return Route::add(); }
    Q_INVOKABLE tender::Route edit(const QString &id) const { return Route::edit(id); }
};

} // namespace tender::views
