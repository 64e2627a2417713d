// The pages for whoever runs the server: GET /health (a short JSON) and
// GET /figures (plain text: the rooms, the traffic, what was dropped and
// which limits were hit).
#pragma once

#include "server/http/exchange.h"
#include "server/rooms/clock.h"
#include "server/rooms/hub.h"

namespace server::net {

http::Handler status_pages(const rooms::Hub& hub, rooms::Time started);

}  // namespace server::net
