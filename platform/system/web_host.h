// What the game asks of the web page it runs in (WebAssembly builds only).
#pragma once

#ifdef __EMSCRIPTEN__

#include <string>

namespace platform::detail {

// Sleeps for `ms` milliseconds, giving the browser its turn meanwhile.
void web_sleep(int ms);

// After a frame is shown: a paced game waits for the browser's next frame;
// an unpaced one (--fast, --timedemo) gives the browser a turn when it has not
// yielded for a while, so the page stays live.
void web_frame_shown();

// A file was written at `path`: when it lies in the saved files' folder, the
// page copies that folder to the browser's persistent storage.
void web_file_written(const std::string& path);

}  // namespace platform::detail

#endif
