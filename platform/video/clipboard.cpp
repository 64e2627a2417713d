// The system's clipboard, through SDL's video subsystem.
#include <SDL.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace platform {

void copy_to_clipboard(std::string_view text) {
  static bool reported = false;
  const std::string copy(text);
  const char* reason = !SDL_WasInit(SDL_INIT_VIDEO) ? "no display is open"
                       : SDL_SetClipboardText(copy.c_str()) != 0
                           ? SDL_GetError()
                           : nullptr;
  if (!reason || reported) return;
  reported = true;
  std::fprintf(stderr, "vermix: cannot put \"%s\" on the clipboard: %s\n",
               copy.c_str(), reason);
}

}  // namespace platform
