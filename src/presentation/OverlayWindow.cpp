#include "presentation/OverlayWindow.h"

#include "presentation/EffectPlan.h"
#include "presentation/GlowImage.h"
#include "presentation/SceneData.h"
#include "presentation/WindowSystem.h"

#include <QQuickItem>
#include <QScreen>

namespace tender {

OverlayWindow::OverlayWindow(QQmlEngine &engine, QScreen &screen, bool canBeTransparent)
    : QQuickView(&engine, nullptr)
    , target_(&screen)
    , masked_(!canBeTransparent)
{
    setFlags(windowFlags);
    QSurfaceFormat surface = format();
    surface.setAlphaBufferSize(8);
    setFormat(surface);
    setColor(Qt::transparent);
    setScreen(&screen);
    setGeometry(screen.geometry());
    setResizeMode(QQuickView::SizeRootObjectToView);
    setSource(QUrl(QStringLiteral("qrc:/qt/qml/Tender/Presentation/qml/OverlayScene.qml")));
    if (masked_)
        setMask(GlowImage(screen.geometry().size(), screen.devicePixelRatio(), Qt::black).visible());
    create();
    excludeFromCapture(*this);
}

void OverlayWindow::present(const EffectPlan &plan)
{
    const QSize size = target_->geometry().size();
    call("showGlow", glowSceneData(plan.glow, size, devicePixelRatio()));
    if (!plan.flights.empty())
        call("launch", flightsSceneData(plan.flights));
    // A hidden window keeps its place among its siblings, and no window manager raises an override-redirect
    // one: whatever was raised since it was made would cover the glow.
    show();
    raise();
}

void OverlayWindow::dismiss()
{
    hide();
    call("clear");
}

void OverlayWindow::call(const char *function, const QVariant &argument)
{
    QObject *scene = rootObject();
    if (!scene)
        return;
    if (argument.isValid())
        QMetaObject::invokeMethod(scene, function, Q_ARG(QVariant, argument));
    else
        QMetaObject::invokeMethod(scene, function);
}

} // namespace tender
