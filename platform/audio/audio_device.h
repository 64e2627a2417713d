// The audio output shared by all sound channels: the OpenAL device, the
// sample buffers and a pool of sources that channels borrow while they are
// heard. With no device every call here is harmless and nothing is heard.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio/sound_decode.h"

namespace platform::detail {

// A source lent to one channel. The lease number tells whether the source
// still belongs to that channel.
struct Voice {
  int slot = -1;
  std::uint64_t lease = 0;
  explicit operator bool() const { return slot >= 0; }
};

enum class VoiceState { playing, paused, finished };

class AudioOutput {
 public:
  // The output, opened on first use. Stays silent if no device opens.
  static AudioOutput& get();
  // The output if one has been made, else null (never opens anything).
  static AudioOutput* current();
  // Closes the device and frees every buffer and source. The next sound
  // operation opens it again.
  static void close();
  // True once any device has been asked for in this process.
  static bool ever_opened();

  ~AudioOutput();
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  bool heard() const { return device_ != nullptr; }

  // An OpenAL buffer holding `pcm`; 0 when nothing can be heard.
  unsigned make_buffer(const Pcm& pcm);
  void delete_buffer(unsigned buffer);
  // Changes every time a device is opened: buffers of an earlier device
  // are not valid in a later one.
  std::uint64_t generation() const { return generation_; }

  // Prepares a source for `buffer`, starting `offset_seconds` in. `keep`
  // stays referenced while the source may still use the buffer. Returns an
  // empty voice if every source is busy.
  Voice acquire(unsigned buffer, bool loop, float gain, double offset_seconds,
                std::shared_ptr<const void> keep);
  // Whether `voice` still holds its source.
  bool holds(const Voice& voice) const;
  VoiceState state(const Voice& voice) const;
  void play(const Voice& voice);
  void pause(const Voice& voice);
  void set_gain(const Voice& voice, float gain);
  // Stops the source and gives it back.
  void release(Voice& voice);
  // The channel is gone: a source still playing plays on to its end, then
  // returns to the pool by itself.
  void abandon(Voice& voice);

 private:
  struct Slot {
    unsigned source = 0;
    std::uint64_t lease = 0;  // 0 while not lent
    std::shared_ptr<const void> keep;
  };

  AudioOutput();
  int source_state(const Slot& slot) const;
  bool source_busy(const Slot& slot) const;  // playing or paused
  void reset(Slot& slot);
  int free_slot();

  void* device_ = nullptr;   // ALCdevice
  void* context_ = nullptr;  // ALCcontext
  std::vector<Slot> slots_;
  std::vector<unsigned> buffers_;
  bool sources_exhausted_ = false;
  std::uint64_t generation_ = 0;
};

}  // namespace platform::detail
