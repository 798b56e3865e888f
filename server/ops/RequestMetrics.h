#pragma once
#include "ops/Metrics.h"
#include <string>
#include <string_view>
#include <functional>
#include <unordered_map>
#include <vector>

namespace tender::server {

// How long requests take, a histogram per route, ready before the first request so that recording
// one takes no lock.
class RequestMetrics {
public:
    explicit RequestMetrics(Metrics& metrics);
    RequestMetrics(const RequestMetrics&) = delete;
    RequestMetrics& operator=(const RequestMetrics&) = delete;
    // Before the first request: recording takes no lock, so the routes cannot change afterwards.
    void addRoutes(const std::vector<std::string>& routes);
    // `route` is the pattern that answered ("-" when none did).
    void observe(std::string_view route, double seconds);

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    Metrics& metrics_;
    std::unordered_map<std::string, Histogram*, Hash, std::equal_to<>> byRoute_;
    Histogram* other_;
};

}
