// The game's side of the web page: sleeping by handing control back to the
// browser (the build runs under Asyncify), and keeping saved files.
#ifdef __EMSCRIPTEN__

#include "platform/system/web_host.h"

#include <emscripten.h>

#include "platform/platform.h"

namespace platform::detail {

namespace {

int last_yield = 0;

// Waits for the browser's next frame: a paced game then draws no faster than
// the page can show, and frames never queue up in the browser's GL.
EM_ASYNC_JS(void, next_animation_frame, (), {
  // No arrow functions: the C preprocessor splits "=>".
  await new Promise(function(resolve) { requestAnimationFrame(resolve); });
});

}  // namespace

void web_sleep(int ms) {
  emscripten_sleep(static_cast<unsigned>(ms < 0 ? 0 : ms));
  last_yield = millisecs();
}

void web_frame_shown() {
  if (!run_options().fast) {
    next_animation_frame();
    last_yield = millisecs();
  } else if (millisecs() - last_yield >= 16) {
    // About one browser frame; a yield costs a few milliseconds.
    web_sleep(0);
  }
}

void web_file_written(const std::string& path) {
  // The page's vermixFileWritten decides whether the file is a saved one.
  EM_ASM(
      {
        if (Module.vermixFileWritten)
          Module.vermixFileWritten(UTF8ToString($0));
      },
      path.c_str());
}

}  // namespace platform::detail

#endif
