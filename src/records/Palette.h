#pragma once

#include "records/PaletteColor.h"

#include <array>

namespace tender::Palette {

// The order matters: colour choices are stored as indices into it.
extern const std::array<PaletteColor, 12> all;

// Any stored index is valid: it is reduced modulo 12, negatives counting from the end.
int normalized(qint64 index);
const PaletteColor &at(qint64 index);

} // namespace tender::Palette
