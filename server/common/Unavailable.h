#pragma once
#include <stdexcept>

namespace tender::server {

// A service this one depends on (a database, a bus) cannot be reached now; the request may be
// tried again shortly. Answered 503, never fatal.
class Unavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}
