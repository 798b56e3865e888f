#pragma once
#include "hub/Subscriber.h"
#include "http/Types.h"
#include <memory>
#include <string_view>
#include <variant>

namespace tender::server {

// Decides who may open a stream (before the upgrade) and learns when streams open and close.
class StreamDoor {
public:
    virtual ~StreamDoor() = default;
    virtual bool isStreamPath(std::string_view path) const = 0;
    // The refusal to send instead of upgrading, or the audience of the new stream.
    virtual std::variant<Response, Audience> admit(const Request& request) = 0;
    virtual void opened(const std::shared_ptr<Subscriber>& stream) = 0;
    virtual void closed(const Subscriber& stream) = 0;
};

}
