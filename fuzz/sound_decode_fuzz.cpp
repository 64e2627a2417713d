// Sound files a player drops into data/: any bytes, read as Ogg Vorbis or
// WAV. A decode either fails with nothing left in the result or gives whole
// mono or stereo frames at a real rate.
#include <cstdlib>

#include "platform/audio/sound_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  platform::detail::Pcm pcm;
  pcm.rate = -1;
  pcm.samples.assign(3, 7);  // a decode must not keep what was there
  if (platform::detail::decode_sound(data, size, pcm)) {
    if (pcm.channels != 1 && pcm.channels != 2) std::abort();
    if (pcm.rate < 1 || pcm.samples.empty()) std::abort();
    if (pcm.samples.size() % pcm.channels != 0) std::abort();
  } else if (pcm.rate != 0 || pcm.channels != 0 || !pcm.samples.empty()) {
    std::abort();
  }
  return 0;
}
