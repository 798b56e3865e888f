#include "records/PaletteColor.h"

namespace tender {

QColor PaletteColor::toColor(quint32 rgb)
{
    return QColor::fromRgbF(float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f,
                            float(rgb & 0xFF) / 255.0f, 1.0f);
}

} // namespace tender
