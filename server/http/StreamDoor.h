#pragma once
#include "hub/Subscriber.h"
#include "http/Types.h"
#include "limits/Seats.h"
#include <memory>
#include <string_view>
#include <variant>
#include <vector>

namespace tender::server {

struct Admission {
    Audience audience;
    std::vector<Seat> seats; // places the stream holds while it is open
};

// Decides who may open a stream (before the upgrade) and learns when streams open and close.
class StreamDoor {
public:
    virtual ~StreamDoor() = default;
    virtual bool isStreamPath(std::string_view path) const = 0;
    // The refusal to send instead of upgrading, or the audience of the new stream.
    virtual std::variant<Response, Admission> admit(const Request& request) = 0;
    virtual void opened(const std::shared_ptr<Subscriber>& stream) = 0;
    virtual void closed(const Subscriber& stream) = 0;
};

}
