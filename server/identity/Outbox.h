#pragma once
#include <filesystem>
#include <string>

namespace tender::server {

// The provider's mail: one file per message in DIR/outbox, readable only by the owner, for a mailer
// to take away. At most `maxMessages` wait there, so nobody can fill the disk with requests.
class Outbox {
public:
    Outbox(std::filesystem::path directory, std::size_t maxMessages);
    bool hasRoom() const;
    void send(const std::string& to, const std::string& subject, const std::string& text);

private:
    std::filesystem::path directory_;
    std::size_t maxMessages_;
};

}
