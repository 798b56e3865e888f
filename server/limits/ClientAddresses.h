#pragma once
#include <boost/asio/ip/address.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace tender::server {

// Who is asking, as the limits count it: the peer's address or, when the peer is a trusted reverse
// proxy, the nearest address in X-Forwarded-For that is not one of the proxies. An IPv6 address counts
// by its /64, which one machine usually holds whole.
class ClientAddresses {
public:
    explicit ClientAddresses(const std::vector<std::string>& trustedProxies = {});

    bool trusted(const boost::asio::ip::address& peer) const;
    // `forwardedFor`: the X-Forwarded-For fields, joined with commas.
    std::string of(const boost::asio::ip::address& peer, std::string_view forwardedFor) const;
    static std::string key(const boost::asio::ip::address& address);

private:
    std::vector<boost::asio::ip::address> trusted_;
};

}
