#include "store/Records.h"
#include <algorithm>

namespace tender::server {

bool Device::can(const std::string& capability) const
{
    return std::find(capabilities.begin(), capabilities.end(), capability) != capabilities.end();
}

}
