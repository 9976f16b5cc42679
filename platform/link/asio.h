// asio for the link's files. Optimised builds report -Wnull-dereference inside asio's
// scheduler; the warning is turned off for asio's headers alone.
#pragma once

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnull-dereference"
#include <asio.hpp>
#pragma GCC diagnostic pop
