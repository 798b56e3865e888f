#include "presentation/Overlay.h"

namespace tender {

using namespace Qt::StringLiterals;

// Written as escapes: five entries carry an invisible variation selector.
const QStringList Overlay::warm{
    u"\u2764\uFE0F"_s, u"\U0001F9E1"_s, u"\U0001F49B"_s, u"\U0001F49A"_s, u"\U0001F499"_s, u"\U0001F49C"_s, u"\U0001F496"_s,
    u"\U0001F495"_s, u"\U0001F497"_s, u"\U0001FAC2"_s, u"\U0001F917"_s, u"\U0001FAF6"_s, u"\U0001F970"_s, u"\U0001F60A"_s,
    u"\u263A\uFE0F"_s, u"\U0001F63A"_s, u"\U0001F638"_s, u"\U0001F63B"_s, u"\U0001F63D"_s, u"\U0001F408"_s, u"\U0001F431"_s,
    u"\U0001F436"_s, u"\U0001F43B"_s, u"\U0001F43C"_s, u"\U0001F994"_s, u"\U0001F430"_s, u"\U0001F98A"_s, u"\U0001F425"_s,
    u"\U0001F9F8"_s, u"\U0001F4AA"_s, u"\U0001F64C"_s, u"\U0001F44D"_s, u"\u270A"_s, u"\U0001F44F"_s, u"\u2600\uFE0F"_s,
    u"\U0001F33B"_s, u"\U0001F337"_s, u"\U0001F338"_s, u"\U0001F33C"_s, u"\U0001F308"_s, u"\U0001F340"_s, u"\u2728"_s,
    u"\u2B50\uFE0F"_s, u"\u2615\uFE0F"_s, u"\U0001F375"_s, u"\U0001F36A"_s, u"\U0001F370"_s, u"\U0001F353"_s, u"\U0001F388"_s,
};

const QStringList Overlay::stars{u"\u2B50\uFE0F"_s, u"\U0001F31F"_s, u"\u2728"_s, u"\U0001F4AB"_s};

} // namespace tender
