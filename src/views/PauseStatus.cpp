#include "views/PauseStatus.h"

#include "views/ModelTypes.h"

namespace tender::views {

void PauseStatus::pause(Length length) const
{
    if (AppModel *model = AppModelForeign::instance())
        model->pause(PauseLength(length));
}

bool PauseStatus::isPaused() const
{
    const AppModel *model = AppModelForeign::instance();
    return model && model->isPaused();
}

QString PauseStatus::text() const
{
    const AppModel *model = AppModelForeign::instance();
    return model ? model->pauseText() : QString();
}

} // namespace tender::views
