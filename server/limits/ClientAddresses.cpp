#include "limits/ClientAddresses.h"
#include "common/Text.h"
#include <algorithm>

namespace tender::server {

namespace ip = boost::asio::ip;

namespace {

// A listener on [::] sees IPv4 peers as ::ffff:a.b.c.d.
ip::address plain(const ip::address& address)
{
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        return ip::make_address_v4(ip::v4_mapped, address.to_v6());
    return address;
}

}

ClientAddresses::ClientAddresses(const std::vector<std::string>& trustedProxies)
{
    for (const auto& proxy : trustedProxies)
        trusted_.push_back(plain(ip::make_address(proxy)));
}

bool ClientAddresses::trusted(const ip::address& peer) const
{
    return std::find(trusted_.begin(), trusted_.end(), plain(peer)) != trusted_.end();
}

std::string ClientAddresses::key(const ip::address& address)
{
    auto client = plain(address);
    if (client.is_v4())
        return client.to_string();
    auto bytes = client.to_v6().to_bytes();
    std::fill(bytes.begin() + 8, bytes.end(), 0);
    return ip::address_v6(bytes).to_string() + "/64";
}

std::string ClientAddresses::of(const ip::address& peer, std::string_view forwardedFor) const
{
    auto client = peer;
    // From the right: each trusted hop names the one before it.
    while (trusted(client) && !forwardedFor.empty()) {
        auto comma = forwardedFor.rfind(',');
        auto hop = trimmed(comma == std::string_view::npos ? forwardedFor : forwardedFor.substr(comma + 1));
        forwardedFor = comma == std::string_view::npos ? std::string_view() : forwardedFor.substr(0, comma);
        boost::system::error_code error;
        auto named = ip::make_address(hop, error);
        if (error)
            break;
        client = named;
    }
    return key(client);
}

}
