#include "presentation/SceneData.h"

#include "presentation/GlowImageProvider.h"

#include <QPointF>

namespace tender {

namespace {

double milliseconds(double seconds) { return seconds * 1000.0; }

QVariantMap stepData(const KeyframeStep &step)
{
    return {{"from", step.from}, {"to", step.to}, {"duration", milliseconds(step.duration)},
            {"curve", QVariant::fromValue(step.easing.spline())}};
}

QVariantList stepsData(const KeyframeSteps &steps)
{
    QVariantList list;
    for (const KeyframeStep &step : steps)
        list.append(stepData(step));
    return list;
}

QVariantMap flightData(const EmojiFlight &flight)
{
    return {{"glyph", flight.glyph},
            {"size", flight.size},
            {"box", flight.box()},
            {"delay", milliseconds(flight.delay)},
            {"duration", milliseconds(flight.duration)},
            {"curve", QVariant::fromValue(EmojiFlight::groupEasing.spline())},
            {"start", flight.start},
            {"control1", flight.control1},
            {"control2", flight.control2},
            {"end", flight.end},
            {"opacity", stepsData(flight.opacity)},
            {"scale", stepData(flight.scale.front())},
            {"rotation", stepsData(flight.rotation)}};
}

} // namespace

QVariantMap glowSceneData(const GlowPlan &glow, QSize screen, qreal scale)
{
    using Edge = GlowImage::Edge;
    const GlowImage image(screen, scale, glow.color);
    QVariantList pieces;
    for (Edge edge : {Edge::Top, Edge::Bottom, Edge::Left, Edge::Right}) {
        const QRectF at = image.placement(edge);
        pieces.append(QVariantMap{{"source", GlowImageProvider::source(glow.color, screen, scale, edge)},
                                  {"x", at.x()}, {"y", at.y()}, {"width", at.width()}, {"height", at.height()}});
    }
    return {{"pieces", pieces}, {"steps", stepsData(glow.opacity)}};
}

QVariantList flightsSceneData(const std::vector<EmojiFlight> &flights)
{
    QVariantList list;
    list.reserve(qsizetype(flights.size()));
    for (const EmojiFlight &flight : flights)
        list.append(flightData(flight));
    return list;
}

} // namespace tender
