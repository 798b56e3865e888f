#pragma once
#include <string>

namespace tender::bench {

// Each user's signals go to a subject of their own.
inline std::string natsSubject(unsigned user)
{
    return "u" + std::to_string(user);
}

}
