#pragma once
#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace tender::testing {

using std::chrono::milliseconds;

// A WebSocket client for tests: each call waits for what it asks with a time limit.
class WsClient {
public:
    struct Opened;
    // The open client, or the HTTP status of the refusal (0 when nothing answered).
    static Opened open(unsigned short port, const std::string& target, const std::string& bearer);

    ~WsClient();

    // The next text frame, or nothing within `wait`.
    std::optional<std::string> next(milliseconds wait = milliseconds(3000));
    // Whether the server closed the connection within `wait`.
    bool closedWithin(milliseconds wait = milliseconds(3000));
    void ping();
    // Pongs received so far.
    int pongs();

    struct State;

private:
    explicit WsClient(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

struct WsClient::Opened {
    std::unique_ptr<WsClient> client;
    int refusedStatus = 0;
};

}
