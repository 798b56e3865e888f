#pragma once
#include "api/ApiContext.h"
#include "http/StreamDoor.h"

namespace tender::server {

// The two live streams: "/v1/stream" for the app (identity token) and "/v1/device/stream"
// for a device (device token).
class StreamGate final : public StreamDoor {
public:
    explicit StreamGate(ApiContext& api);

    bool isStreamPath(std::string_view path) const override;
    std::variant<Response, Audience> admit(const Request& request) override;
    void opened(const std::shared_ptr<Subscriber>& stream) override;
    void closed(const Subscriber& stream) override;

    // Plain requests to the stream paths, without an upgrade.
    void addRoutes(Router& router);

private:
    ApiContext& api_;
};

}
