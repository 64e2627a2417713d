// The game's page and its files (the folder tools/build-web.sh makes),
// served on the server's own origin so that one server is the whole online
// game: the right content types, gzip where the browser takes it, and
// caching that lets a new build reach players at once (every answer carries
// an ETag; names holding a content hash are kept for a year). The invite
// links /join/CODE and /watch/CODE lead to the page with the code.
#pragma once

#include <string>

#include "server/http/exchange.h"

namespace server::http {

// Serves GET and HEAD of the files under `folder` (read when asked, so a
// new build replaces the old without a restart); nothing for other paths.
Handler site_files(std::string folder);

}  // namespace server::http
