// Decoding whole sound files into 16-bit PCM, for the sound module and its
// tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::detail {

struct Pcm {
  int rate = 0;
  int channels = 0;                   // 1 or 2
  std::vector<std::int16_t> samples;  // interleaved
  std::size_t frames() const {
    return channels > 0 ? samples.size() / channels : 0;
  }
};

// Ogg Vorbis or WAV (PCM, 8 or 16 bits, mono or stereo), told apart by
// their first bytes. False, with `out` cleared, for anything else, for a
// damaged file and for a file without a single sample.
bool decode_sound(const std::uint8_t* data, std::size_t size, Pcm& out);
bool decode_ogg(const std::uint8_t* data, std::size_t size, Pcm& out);
bool decode_wav(const std::uint8_t* data, std::size_t size, Pcm& out);

}  // namespace platform::detail
