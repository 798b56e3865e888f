#pragma once
#include <string>

namespace tender::server {

inline std::string select(const char* columns, const char* rest)
{
    return std::string("SELECT ") + columns + " " + rest;
}

}
