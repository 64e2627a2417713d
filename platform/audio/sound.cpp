// Sounds and channels. A channel plays through an OpenAL source when one is
// free; otherwise, or with no audio device at all, it keeps time by the
// steady clock so that channel_playing still tells the truth.
#include <chrono>
#include <cmath>
#include <map>
#include <vector>

#include "platform/audio/audio_device.h"
#include "platform/automation.h"
#include "platform/platform.h"
#include "platform/system/system.h"

namespace platform {

using detail::AudioOutput;
using Clock = std::chrono::steady_clock;

namespace {

// A decoded sound in the output's memory, shared by every Sound loaded from
// the same bytes.
struct Sample {
  unsigned buffer = 0;  // 0 when nothing is heard
  std::uint64_t generation = 0;
  double seconds = 0.0;

  Sample() = default;
  Sample(const Sample&) = delete;
  Sample& operator=(const Sample&) = delete;
  ~Sample() {
    AudioOutput* out = AudioOutput::current();
    if (buffer && out && out->generation() == generation) {
      out->delete_buffer(buffer);
    }
  }
};

// The game loads its music again at every field start. Decoding it takes far
// longer than reading it, so a file whose bytes are the same as last time
// reuses the sample decoded then, as long as some Sound still holds it.
struct RecentFile {
  std::vector<std::uint8_t> bytes;
  std::weak_ptr<const Sample> sample;
};

std::map<std::string, RecentFile>& recent_files() {
  static std::map<std::string, RecentFile> recent;
  return recent;
}

std::shared_ptr<const Sample> recent_sample(
    const std::string& path, const std::vector<std::uint8_t>& bytes) {
  auto& recent = recent_files();
  auto it = recent.find(path);
  if (it == recent.end()) return nullptr;
  std::shared_ptr<const Sample> sample = it->second.sample.lock();
  const AudioOutput* out = AudioOutput::current();
  if (sample && it->second.bytes == bytes && out &&
      out->generation() == sample->generation) {
    return sample;
  }
  recent.erase(it);
  return nullptr;
}

std::shared_ptr<const Sample> decode_sample(
    const std::vector<std::uint8_t>& bytes) {
  detail::Pcm pcm;
  if (!detail::decode_sound(bytes.data(), bytes.size(), pcm)) return nullptr;
  AudioOutput& out = AudioOutput::get();
  auto sample = std::make_shared<Sample>();
  sample->seconds = static_cast<double>(pcm.frames()) / pcm.rate;
  sample->buffer = out.make_buffer(pcm);
  sample->generation = out.generation();
  return sample;
}

}  // namespace

struct Sound {
  std::shared_ptr<const Sample> sample;
  bool loop = false;
  double seconds() const { return sample->seconds; }
  // The buffer, if it belongs to the device now open.
  unsigned live_buffer(const AudioOutput& out) const {
    return out.generation() == sample->generation ? sample->buffer : 0;
  }
};

struct Channel {
  enum class State { idle, cued, playing, paused, stopped };

  SoundRef sound;
  State state = State::idle;
  float volume = 1.0f;
  detail::Voice voice;    // the source it is heard through, if any
  double position = 0.0;  // seconds played before the clock last started
  Clock::time_point since;

  Channel() = default;
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;
  ~Channel() {
    if (AudioOutput* out = AudioOutput::current()) out->abandon(voice);
  }

  double elapsed() const {
    return position +
           std::chrono::duration<double>(Clock::now() - since).count();
  }

  // Notices the end of a sound that has played out.
  void update() {
    if (state != State::playing) return;
    AudioOutput& out = AudioOutput::get();
    if (voice) {
      if (out.state(voice) != detail::VoiceState::playing) finish(out);
    } else if (!sound->loop && elapsed() >= sound->seconds()) {
      finish(out);
    }
  }

  void finish(AudioOutput& out) {
    out.release(voice);
    state = State::stopped;
  }
};

namespace {

float clamp_volume(float v) {
  if (!(v > 0.0f)) return 0.0f;  // negative or not a number
  return v > 1.0f ? 1.0f : v;
}

}  // namespace

SoundRef load_sound(const std::string& path, int flags) {
  std::vector<std::uint8_t> bytes;
  if (!detail::read_bytes(path, bytes)) return nullptr;
  AudioOutput::get();  // opened before any sample is made
  std::shared_ptr<const Sample> sample = recent_sample(path, bytes);
  if (!sample) {
    sample = decode_sample(bytes);
    if (!sample) return nullptr;
    recent_files()[path] = RecentFile{std::move(bytes), sample};
  }
  auto sound = std::make_shared<Sound>();
  sound->sample = std::move(sample);
  sound->loop = (flags & 1) != 0;
  return sound;
}

ChannelRef alloc_channel() { return std::make_shared<Channel>(); }

// A re-simulated tick plays no sound: the channel given stays as it is, and
// an effect's new channel is one idle channel shared by all of them.
ChannelRef cue_sound(const SoundRef& sound, const ChannelRef& channel) {
  if (detail::resimulating()) {
    static const ChannelRef muted = alloc_channel();
    return channel ? channel : muted;
  }
  ChannelRef ch = channel ? channel : alloc_channel();
  AudioOutput::get().release(ch->voice);
  ch->sound = sound;
  ch->state = sound ? Channel::State::cued : Channel::State::idle;
  ch->position = 0.0;
  return ch;
}

void resume_channel(const ChannelRef& channel) {
  if (!channel || detail::resimulating()) return;
  Channel& ch = *channel;
  if (ch.state != Channel::State::cued && ch.state != Channel::State::paused) {
    return;
  }
  AudioOutput& out = AudioOutput::get();
  if (!out.holds(ch.voice)) {
    const double length = ch.sound->seconds();
    const double offset =
        ch.sound->loop ? std::fmod(ch.position, length) : ch.position;
    ch.voice = out.acquire(ch.sound->live_buffer(out), ch.sound->loop,
                           ch.volume, offset, ch.sound);
  }
  out.play(ch.voice);
  ch.since = Clock::now();
  ch.state = Channel::State::playing;
}

void pause_channel(const ChannelRef& channel) {
  if (!channel || detail::resimulating()) return;
  Channel& ch = *channel;
  ch.update();
  if (ch.state != Channel::State::playing) return;
  AudioOutput::get().pause(ch.voice);
  ch.position = ch.elapsed();
  ch.state = Channel::State::paused;
}

void stop_channel(const ChannelRef& channel) {
  if (!channel || detail::resimulating()) return;
  if (channel->state == Channel::State::idle) return;
  channel->finish(AudioOutput::get());
}

int channel_playing(const ChannelRef& channel) {
  if (!channel) return 0;
  channel->update();
  return channel->state == Channel::State::playing ? 1 : 0;
}

void set_channel_volume(const ChannelRef& channel, float volume) {
  if (!channel) return;
  channel->volume = clamp_volume(volume);
  if (AudioOutput* out = AudioOutput::current()) {
    out->set_gain(channel->voice, channel->volume);
  }
}

}  // namespace platform
