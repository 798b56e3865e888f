#pragma once
#include <filesystem>
#include <string>

namespace tender::server {

// The development provider's "mail": one file per message in DIR/outbox, readable only by the owner.
class Outbox {
public:
    explicit Outbox(std::filesystem::path directory);
    void send(const std::string& to, const std::string& subject, const std::string& text);

private:
    std::filesystem::path directory_;
};

}
