#pragma once
#include "api/ApiContext.h"
#include "http/BlockingWork.h"
#include "http/StreamDoor.h"
#include "limits/Seats.h"
#include "ops/Metrics.h"

namespace tender::server {

// The two live streams: "/v1/stream" for the app (identity token) and "/v1/device/stream"
// for a device (device token), each capped per user and per device.
class StreamGate final : public StreamDoor {
public:
    // `storeWork`: where a stream's first look at the store goes when the store must not be
    // waited on in place (null: in place).
    StreamGate(ApiContext& api, BlockingWork* storeWork, std::size_t perUser, std::size_t perDevice, Metrics& metrics);

    bool isStreamPath(std::string_view path) const override;
    std::variant<Response, Admission> admit(const Request& request) override;
    void opened(const std::shared_ptr<Subscriber>& stream) override;
    void closed(const Subscriber& stream) override;

    // Plain requests to the stream paths, without an upgrade.
    void addRoutes(Router& router);

private:
    void takeWaitingHeart(const std::shared_ptr<Subscriber>& stream);

    ApiContext& api_;
    BlockingWork* storeWork_;
    Seats perUser_;
    Seats perDevice_;
    Counter& refused_;
};

}
