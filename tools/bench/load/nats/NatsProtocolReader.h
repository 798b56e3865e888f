#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tender::bench {

struct NatsOp {
    enum class Kind { info, msg, ping, pong, ok, err };
    Kind kind;
    std::string detail; // msg: the subject; info and err: the rest of the line
};

// The server's side of the NATS text protocol, from bytes that may split or join operations
// anywhere (one WebSocket message can hold several, or half of one).
class NatsProtocolReader {
public:
    // Appends `bytes` and adds every operation now complete to `out`; false once the bytes make no sense.
    bool feed(std::string_view bytes, std::vector<NatsOp>& out);

private:
    bool takeLine(std::string_view line, std::vector<NatsOp>& out);

    std::string buffer_;
    std::size_t begin_ = 0;
    std::optional<std::size_t> payloadBytes_; // a MSG line was read; its payload and CRLF follow
    std::string subject_;
    bool broken_ = false;
};

}
