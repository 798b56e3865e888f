#pragma once
#include <cstddef>

namespace tender::server {

// Raises the soft limit of open files to the hard one (every connection is a descriptor) and gives
// the limit now in force.
std::size_t raiseOpenFileLimit();

}
