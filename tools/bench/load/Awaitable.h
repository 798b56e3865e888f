#pragma once
#include <boost/asio/as_tuple.hpp>
#include <boost/asio/use_awaitable.hpp>

namespace tender::bench {

// Asynchronous calls give their error as a value instead of throwing it.
inline constexpr auto use = boost::asio::as_tuple(boost::asio::use_awaitable);

} // namespace tender::bench
