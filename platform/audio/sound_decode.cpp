#include "platform/audio/sound_decode.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace platform::detail {
namespace {

// --- Ogg Vorbis from memory --------------------------------------------------

struct MemoryFile {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
};

std::size_t mem_read(void* dst, std::size_t size, std::size_t count,
                     void* source) {
  auto* m = static_cast<MemoryFile*>(source);
  if (size == 0) return 0;
  const std::size_t n = std::min(count, (m->size - m->at) / size);
  std::memcpy(dst, m->data + m->at, n * size);
  m->at += n * size;
  return n;
}

int mem_seek(void* source, ogg_int64_t offset, int whence) {
  auto* m = static_cast<MemoryFile*>(source);
  ogg_int64_t base = 0;
  if (whence == SEEK_CUR) base = static_cast<ogg_int64_t>(m->at);
  if (whence == SEEK_END) base = static_cast<ogg_int64_t>(m->size);
  const ogg_int64_t to = base + offset;
  if (to < 0 || to > static_cast<ogg_int64_t>(m->size)) return -1;
  m->at = static_cast<std::size_t>(to);
  return 0;
}

long mem_tell(void* source) {
  return static_cast<long>(static_cast<MemoryFile*>(source)->at);
}

// Appends `frames` frames of `from_channels` interleaved samples as mono or
// stereo: more than two channels are mixed down to mono.
void append_frames(const std::int16_t* in, std::size_t frames,
                   int from_channels, Pcm& out) {
  if (from_channels <= 2) {
    out.samples.insert(out.samples.end(), in, in + frames * from_channels);
    return;
  }
  for (std::size_t f = 0; f < frames; ++f) {
    int sum = 0;
    for (int c = 0; c < from_channels; ++c) sum += in[f * from_channels + c];
    out.samples.push_back(static_cast<std::int16_t>(sum / from_channels));
  }
}

// --- WAV ---------------------------------------------------------------------

std::uint32_t le32(const std::uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

bool fail(Pcm& out) {
  out = Pcm{};
  return false;
}

}  // namespace

bool decode_ogg(const std::uint8_t* data, std::size_t size, Pcm& out) {
  out = Pcm{};
  MemoryFile file{data, size};
  const ov_callbacks callbacks{mem_read, mem_seek, nullptr, mem_tell};
  OggVorbis_File vf;
  if (ov_open_callbacks(&file, &vf, nullptr, 0, callbacks) != 0) {
    return fail(out);
  }
  const vorbis_info* first = ov_info(&vf, -1);
  if (!first || first->channels < 1 || first->rate < 1) {
    ov_clear(&vf);
    return fail(out);
  }
  out.rate = static_cast<int>(first->rate);
  out.channels = first->channels == 2 ? 2 : 1;  // more are mixed to mono
  const int from_channels = first->channels;
  const ogg_int64_t total = ov_pcm_total(&vf, -1);
  if (total > 0) {
    out.samples.reserve(static_cast<std::size_t>(total) * out.channels);
  }

  std::int16_t buffer[4096];
  int section = 0;
  bool ok = true;
  for (;;) {
    const long got = ov_read(&vf, reinterpret_cast<char*>(buffer),
                             sizeof buffer, 0, 2, 1, &section);
    if (got == 0) break;
    if (got == OV_HOLE) continue;  // a gap in the data: carry on after it
    if (got < 0) {
      ok = false;
      break;
    }
    // A chained stream that changes its format ends the sound there.
    const vorbis_info* now = ov_info(&vf, section);
    if (!now || now->channels != from_channels || now->rate != first->rate) {
      break;
    }
    append_frames(buffer, static_cast<std::size_t>(got) / (2 * from_channels),
                  from_channels, out);
  }
  ov_clear(&vf);
  if (!ok || out.samples.empty()) return fail(out);
  return true;
}

bool decode_wav(const std::uint8_t* data, std::size_t size, Pcm& out) {
  out = Pcm{};
  if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 ||
      std::memcmp(data + 8, "WAVE", 4) != 0) {
    return fail(out);
  }
  int channels = 0, bits = 0;
  std::uint32_t rate = 0;
  const std::uint8_t* samples = nullptr;
  std::size_t sample_bytes = 0;
  std::size_t at = 12;
  while (at + 8 <= size) {
    const std::uint8_t* chunk = data + at;
    const std::size_t length = le32(chunk + 4);
    const std::size_t body = at + 8;
    const std::size_t available = std::min<std::size_t>(length, size - body);
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (available < 16) return fail(out);
      const std::uint16_t tag = le16(chunk + 8);
      // Plain PCM, or the extensible header with a PCM sub-format.
      const bool pcm = tag == 1 || (tag == 0xFFFE && available >= 26 &&
                                    le16(chunk + 8 + 24) == 1);
      if (!pcm) return fail(out);
      channels = le16(chunk + 10);
      rate = le32(chunk + 12);
      bits = le16(chunk + 22);
    } else if (std::memcmp(chunk, "data", 4) == 0 && !samples) {
      samples = data + body;
      sample_bytes = available;  // a size past the end of the file is cut
    }
    at = body + length + (length & 1);  // chunks are padded to even sizes
    if (at < body) break;               // overflow on a damaged size
  }
  if (!samples || (channels != 1 && channels != 2) ||
      (bits != 8 && bits != 16) || rate == 0 || rate > 384000) {
    return fail(out);
  }
  const std::size_t bytes_per_sample = bits / 8;
  const std::size_t frames = sample_bytes / (bytes_per_sample * channels);
  if (frames == 0) return fail(out);
  out.rate = static_cast<int>(rate);
  out.channels = channels;
  out.samples.resize(frames * channels);
  for (std::size_t i = 0; i < out.samples.size(); ++i) {
    if (bits == 8) {  // unsigned, 128 is silence
      out.samples[i] = static_cast<std::int16_t>((samples[i] - 128) * 256);
    } else {
      out.samples[i] = static_cast<std::int16_t>(le16(samples + 2 * i));
    }
  }
  return true;
}

bool decode_sound(const std::uint8_t* data, std::size_t size, Pcm& out) {
  if (size >= 4 && std::memcmp(data, "OggS", 4) == 0) {
    return decode_ogg(data, size, out);
  }
  return decode_wav(data, size, out);
}

}  // namespace platform::detail
