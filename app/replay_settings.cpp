#include "app/replay_settings.h"

#include <charconv>
#include <string>

#include "render/anaglyph.h"
#include "replay/replay.h"
#include "world/world.h"

namespace {

void settle(const char* name, int& value) {
  if (const auto text = replay::replay_setting(name)) {
    int v = 0;
    const char* end = text->data() + text->size();
    auto [ptr, ec] = std::from_chars(text->data(), end, v);
    if (ec == std::errc() && ptr == end) value = v;
  }
  replay::record_setting(name, std::to_string(value));
}

}  // namespace

void settle_replay_settings() {
  settle("high-score", high_score);
  settle("stereo-mode", stereo_mode);
  settle("hologram", hologram_intensity);
  if (stereo_mode < 0 || stereo_mode > 4) stereo_mode = 0;
  anaglyph_settings(0);  // the eye colours of the mode in use
}

bool open_outputs(const CommandLine& cl, int seed, std::string& error) {
  if (!cl.record.empty() && !replay::start_recording(cl.record, error))
    return false;
  replay::record_setting("seed", std::to_string(seed));
  return cl.dump_every <= 0 ||
         replay::dump_state_every(cl.dump_every, cl.dump_file, error);
}
