#include "tests/platform/sound_files.h"

#include <cmath>
#include <fstream>
#include <iterator>

#include "platform/audio/sound_decode.h"

namespace sound_test {
namespace {

void put16(std::vector<std::uint8_t>& v, unsigned x) {
  v.push_back(x & 0xFF);
  v.push_back((x >> 8) & 0xFF);
}
void put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
  put16(v, x & 0xFFFF);
  put16(v, x >> 16);
}
void put_tag(std::vector<std::uint8_t>& v, const char* tag) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<std::uint8_t>(tag[i]));
}

}  // namespace

std::vector<std::uint8_t> wav_bytes(int rate, int channels, int bits,
                                    const std::vector<int>& samples) {
  const std::uint32_t data_size =
      static_cast<std::uint32_t>(samples.size() * bits / 8);
  std::vector<std::uint8_t> v;
  put_tag(v, "RIFF");
  put32(v, 36 + data_size);
  put_tag(v, "WAVE");
  put_tag(v, "fmt ");
  put32(v, 16);
  put16(v, 1);
  put16(v, channels);
  put32(v, rate);
  put32(v, rate * channels * bits / 8);
  put16(v, channels * bits / 8);
  put16(v, bits);
  put_tag(v, "data");
  put32(v, data_size);
  for (int s : samples) {
    if (bits == 8) {
      v.push_back(static_cast<std::uint8_t>(s));
    } else {
      put16(v, static_cast<unsigned>(s) & 0xFFFF);
    }
  }
  return v;
}

void write_file(const std::string& path,
                const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void write_tone(const std::string& path, double seconds, double amplitude) {
  const int rate = 22050;
  std::vector<int> samples(static_cast<std::size_t>(seconds * rate));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int>(
        amplitude * std::sin(2 * 3.14159265358979 * 440 * i / rate));
  }
  write_file(path, wav_bytes(rate, 1, 16, samples));
}

std::vector<std::int16_t> read_wav_samples(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  platform::detail::Pcm pcm;
  if (!platform::detail::decode_wav(bytes.data(), bytes.size(), pcm)) {
    return {};
  }
  return pcm.samples;
}

}  // namespace sound_test
