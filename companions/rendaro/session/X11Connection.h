#pragma once

#include <xcb/xcb.h>

#include <chrono>

namespace rendaro {

// A connection to $DISPLAY, or nullptr when there is none, it fails, or the
// display's server has not answered within limit (a server that takes the
// connection and never answers would hold the caller for good; the attempt
// goes on in a thread of its own and is closed if it ever ends).
xcb_connection_t *connectWithin(std::chrono::milliseconds limit, int *screen = nullptr);

} // namespace rendaro
