#include "records/Palette.h"

namespace tender::Palette {

const std::array<PaletteColor, 12> all = {{
    {QStringLiteral("Коралловый"), 0xF07A62, 0xFDE6E0, 0xA8402B},
    {QStringLiteral("Розовый"), 0xE86A9A, 0xFBE2EC, 0xA3305E},
    {QStringLiteral("Голубой"), 0x4E9BD8, 0xE0EEF9, 0x22679E},
    {QStringLiteral("Шалфей"), 0x6FAE7C, 0xE3F1E6, 0x39744A},
    {QStringLiteral("Лавандовый"), 0x9B83DD, 0xECE6FA, 0x5E45A3},
    {QStringLiteral("Медовый"), 0xE5A93B, 0xFBF0DA, 0x8A5E0E},
    {QStringLiteral("Бирюзовый"), 0x3FB3A8, 0xDDF3F0, 0x1D6F68},
    {QStringLiteral("Вишнёвый"), 0xC94A5E, 0xF8E1E5, 0x8E2638},
    {QStringLiteral("Карамельный"), 0xC98B5E, 0xF6E9DE, 0x7D4F2C},
    {QStringLiteral("Оливковый"), 0x9DA24A, 0xEEF0DC, 0x5C601F},
    {QStringLiteral("Индиго"), 0x6474D6, 0xE4E7F8, 0x3640A0},
    {QStringLiteral("Грифельный"), 0x7E8C99, 0xE8ECEF, 0x46525E},
}};

int normalized(qint64 index)
{
    const qint64 size = qint64(all.size());
    return int(((index % size) + size) % size);
}

const PaletteColor &at(qint64 index)
{
    return all[size_t(normalized(index))];
}

} // namespace tender::Palette
