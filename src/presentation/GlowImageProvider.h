#pragma once

#include "presentation/GlowImage.h"

#include <QCache>
#include <QQuickImageProvider>

namespace tender {

// Serves the glow's edge strips to the overlay's scenes as
// "image://tenderglow/<AARRGGBB>/<width>x<height>@<scale>/<edge>".
class GlowImageProvider final : public QQuickImageProvider {
public:
    static constexpr auto name = "tenderglow";

    GlowImageProvider();

    static QString source(QColor color, QSize screen, qreal scale, GlowImage::Edge edge);
    QImage requestImage(const QString &id, QSize *size, const QSize &requestedSize) override;

private:
    QCache<QString, QImage> cache_;
};

} // namespace tender
