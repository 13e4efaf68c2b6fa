// The networking library: Boost.Asio (Beast builds on it), under the short name the code uses.
#pragma once

#include <boost/asio.hpp>

namespace velora {
namespace asio = boost::asio;
using ErrorCode = boost::system::error_code;
}  // namespace velora
