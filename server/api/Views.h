#pragma once
#include "common/Json.h"
#include "store/Records.h"

namespace tender::server {

json::object contactView(const Contact& contact);
json::object deviceView(const Device& device);

}
