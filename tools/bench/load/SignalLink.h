#pragma once
#include "load/Deliveries.h"
#include "load/Population.h"
#include <boost/asio/awaitable.hpp>

namespace tender::bench {

struct Signal {
    unsigned sender;
    const Listed* entry;
    Clock::time_point due;
};

// One keep-alive connection that carries signals to the server under test, one at a time.
class SignalLink {
public:
    enum class Outcome { accepted, refused, failed };
    virtual ~SignalLink() = default;
    // Connects first if it has to; a failed connection or write is Outcome::failed.
    virtual boost::asio::awaitable<Outcome> send(const Signal& signal) = 0;
};

}
