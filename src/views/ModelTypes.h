#pragma once

#include "model/AppModel.h"
#include "records/Contact.h"
#include "records/PaletteColor.h"
#include "model/Pause.h"
#include "records/Route.h"

#include <QList>
#include <QQmlEngine>

namespace tender::views {

// How the model and its records look from QML. The instance is the one the
// shell (or a test) created; QML never constructs its own.
struct AppModelForeign {
    Q_GADGET
    QML_FOREIGN(tender::AppModel)
    QML_NAMED_ELEMENT(AppModel)
    QML_SINGLETON

public:
    static void setInstance(tender::AppModel *model);
    static tender::AppModel *instance();
    static tender::AppModel *create(QQmlEngine *, QJSEngine *engine);
};

struct ContactForeign {
    Q_GADGET
    QML_FOREIGN(tender::Contact)
    QML_VALUE_TYPE(contact)
};

struct ContactListForeign {
    Q_GADGET
    QML_FOREIGN(QList<tender::Contact>)
    QML_ANONYMOUS
    QML_SEQUENTIAL_CONTAINER(tender::Contact)
};

struct PaletteColorForeign {
    Q_GADGET
    QML_FOREIGN(tender::PaletteColor)
    QML_VALUE_TYPE(paletteColor)
};

struct RouteForeign {
    Q_GADGET
    QML_FOREIGN(tender::Route)
    QML_VALUE_TYPE(route)
};

// Route.Main, Route.Edit... for comparing a route's kind in QML.
namespace RouteKinds {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(tender::Route)
QML_NAMED_ELEMENT(Route)
} // namespace RouteKinds

} // namespace tender::views
