#include "api/StreamGate.h"
#include "common/Log.h"
#include "limits/Throttle.h"
#include "common/Time.h"
#include "http/Responses.h"
#include <boost/url/parse.hpp>

namespace tender::server {
namespace {

constexpr std::string_view appPath = "/v1/stream";
constexpr std::string_view devicePath = "/v1/device/stream";

bool refusesStrangers(const Request& request)
{
    auto target = boost::urls::parse_origin_form(request.target());
    if (!target)
        return false;
    for (auto param : target->params())
        if (param.key == "anyone" && param.value == "false")
            return true;
    return false;
}

}

StreamGate::StreamGate(ApiContext& api, BlockingWork* storeWork, std::size_t perUser, std::size_t perDevice,
    Metrics& metrics)
    : api_(api)
    , storeWork_(storeWork)
    , perUser_(0, perUser)
    , perDevice_(0, perDevice)
    , refused_(refusalsOf(metrics, "streams"))
{
    for (auto [kind, seats] : {std::pair{"app", &perUser_}, std::pair{"device", &perDevice_}})
        metrics.gauge("tender_streams", "Open streams", {{"kind", kind}},
            [seats = seats] { return static_cast<double>(seats->taken()); }); // clang 14 captures no bindings
}

bool StreamGate::isStreamPath(std::string_view path) const
{
    return path == appPath || path == devicePath;
}

std::variant<Response, Admission> StreamGate::admit(const Request& request)
{
    auto target = request.target();
    bool forDevice = target.substr(0, target.find('?')) == devicePath;
    auto principal = api_.auth.authenticate(request);
    if (!principal || principal->device.has_value() != forDevice)
        return errorResponse(http::status::unauthorized, "sign in first");
    const auto& device = principal->device;
    auto seat = forDevice ? perDevice_.take(device->id) : perUser_.take(principal->user.uid);
    if (!seat) {
        refused_.add();
        auto refusal = errorResponse(http::status::too_many_requests, "too many streams open");
        refusal.set(http::field::retry_after, "30");
        return refusal;
    }
    Admission admission{forDevice ? Audience{device->owner, device->id, device->can("receive"), false}
                                  : Audience{principal->user.uid, std::nullopt, true, !refusesStrangers(request)},
        {}};
    admission.seats.push_back(std::move(*seat));
    return admission;
}

void StreamGate::opened(const std::shared_ptr<Subscriber>& stream)
{
    const auto& audience = stream->audience();
    if (audience.deviceId) {
        api_.lastSeen.touch(*audience.deviceId, nowMs());
        api_.hub.attach(stream);
        return;
    }
    if (!audience.acceptsAnyone) {
        api_.hub.attach(stream);
        return;
    }
    api_.hub.attach(stream, [this, stream] {
        if (storeWork_)
            storeWork_->post([this, stream] { takeWaitingHeart(stream); });
        else
            takeWaitingHeart(stream);
    });
}

void StreamGate::takeWaitingHeart(const std::shared_ptr<Subscriber>& stream)
{
    try {
        if (api_.signals.takeWaitingFor(stream->audience().uid, nowMs()))
            stream->send(frames::signal());
    } catch (const std::exception& error) {
        logLine(std::string("waiting hearts not read: ") + error.what());
    }
}

void StreamGate::closed(const Subscriber& stream)
{
    api_.hub.detach(stream);
}

void StreamGate::addRoutes(Router& router)
{
    auto upgradeRequired = [](const RouteContext&) {
        auto response = errorResponse(http::status::upgrade_required, "this path is a WebSocket stream");
        response.set(http::field::upgrade, "websocket");
        return response;
    };
    router.add(http::verb::get, std::string(appPath), upgradeRequired);
    router.add(http::verb::get, std::string(devicePath), upgradeRequired);
}

}
