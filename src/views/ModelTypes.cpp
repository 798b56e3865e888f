#include "views/ModelTypes.h"

#include <QPointer>

namespace tender::views {

namespace {
QPointer<AppModel> current;
}

void AppModelForeign::setInstance(AppModel *model)
{
    current = model;
}

AppModel *AppModelForeign::instance()
{
    return current;
}

AppModel *AppModelForeign::create(QQmlEngine *, QJSEngine *engine)
{
    Q_ASSERT(current);
    Q_ASSERT(engine->thread() == current->thread());
    // The model outlives every engine; QML must never delete it.
    QJSEngine::setObjectOwnership(current, QJSEngine::CppOwnership);
    return current;
}

} // namespace tender::views
