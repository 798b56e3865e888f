#include "load/nats/NatsProtocolReader.h"
#include <cctype>
#include <charconv>

namespace tender::bench {
namespace {

constexpr std::size_t longestLine = 64 * 1024;

std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while (at < line.size()) {
        auto start = line.find_first_not_of(" \t", at);
        if (start == std::string_view::npos)
            break;
        auto end = line.find_first_of(" \t", start);
        end = end == std::string_view::npos ? line.size() : end;
        out.push_back(line.substr(start, end - start));
        at = end;
    }
    return out;
}

bool startsWith(std::string_view line, std::string_view word)
{
    if (line.size() < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(line[i])) != word[i]) // operation names ignore case
            return false;
    return line.size() == word.size() || line[word.size()] == ' ' || line[word.size()] == '\t';
}

std::string rest(std::string_view line, std::size_t after)
{
    auto start = line.find_first_not_of(" \t", after);
    return start == std::string_view::npos ? std::string() : std::string(line.substr(start));
}

}

bool NatsProtocolReader::takeLine(std::string_view line, std::vector<NatsOp>& out)
{
    using Kind = NatsOp::Kind;
    if (startsWith(line, "MSG")) {
        auto parts = words(line); // MSG <subject> <sid> [reply-to] <#bytes>
        if (parts.size() != 4 && parts.size() != 5)
            return false;
        std::size_t size = 0;
        auto last = parts.back();
        if (std::from_chars(last.data(), last.data() + last.size(), size).ec != std::errc())
            return false;
        subject_ = std::string(parts[1]);
        payloadBytes_ = size;
    } else if (startsWith(line, "PING")) {
        out.push_back({Kind::ping, {}});
    } else if (startsWith(line, "PONG")) {
        out.push_back({Kind::pong, {}});
    } else if (startsWith(line, "+OK")) {
        out.push_back({Kind::ok, {}});
    } else if (startsWith(line, "-ERR")) {
        out.push_back({Kind::err, rest(line, 4)});
    } else if (startsWith(line, "INFO")) {
        out.push_back({Kind::info, rest(line, 4)});
    } else {
        return false;
    }
    return true;
}

bool NatsProtocolReader::feed(std::string_view bytes, std::vector<NatsOp>& out)
{
    if (broken_)
        return false;
    buffer_.append(bytes);
    for (;;) {
        std::string_view pending(buffer_.data() + begin_, buffer_.size() - begin_);
        if (payloadBytes_) {
            if (pending.size() < *payloadBytes_ + 2)
                break;
            if (pending.substr(*payloadBytes_, 2) != "\r\n")
                return !(broken_ = true);
            out.push_back({NatsOp::Kind::msg, std::move(subject_)});
            begin_ += *payloadBytes_ + 2;
            payloadBytes_.reset();
            continue;
        }
        auto end = pending.find("\r\n");
        if (end == std::string_view::npos) {
            if (pending.size() > longestLine)
                return !(broken_ = true);
            break;
        }
        if (!takeLine(pending.substr(0, end), out))
            return !(broken_ = true);
        begin_ += end + 2;
    }
    buffer_.erase(0, begin_);
    begin_ = 0;
    return true;
}

}
