#include "views/PaletteColors.h"

#include "records/Palette.h"

namespace tender::views {

QVariantList PaletteColors::all() const
{
    QVariantList list;
    for (const PaletteColor &entry : Palette::all)
        list.append(QVariant::fromValue(entry));
    return list;
}

PaletteColor PaletteColors::at(qint64 index) const
{
    return Palette::at(index);
}

} // namespace tender::views
