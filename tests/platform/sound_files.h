// Sound files written by the sound tests themselves.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/scratch_folder.h"

namespace sound_test {

using testing_support::ScratchFolder;

// The bytes of a PCM WAV file holding `samples` (interleaved; 8-bit samples
// are given as 0..255).
std::vector<std::uint8_t> wav_bytes(int rate, int channels, int bits,
                                    const std::vector<int>& samples);
void write_file(const std::string& path,
                const std::vector<std::uint8_t>& bytes);

// A 16-bit mono WAV of a 440 Hz sine at `amplitude` lasting `seconds`.
void write_tone(const std::string& path, double seconds,
                double amplitude = 20000);

// The same as a decoded 16-bit WAV: every sample, interleaved. Empty if the
// file cannot be read.
std::vector<std::int16_t> read_wav_samples(const std::string& path);

// Waits, without spinning, until `done` is true or `seconds` have passed.
template <typename Done>
bool wait_until(Done done, double seconds);

}  // namespace sound_test

#include <chrono>
#include <thread>

template <typename Done>
bool sound_test::wait_until(Done done, double seconds) {
  const auto end =
      std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}
