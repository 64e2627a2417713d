#include "platform/audio/audio_device.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform::detail {
namespace {

AudioOutput* output = nullptr;
bool asked_for_device = false;
bool exit_hook_set = false;
std::uint64_t last_generation = 0;
std::uint64_t last_lease = 0;  // never reused, so stale voices never match

ALCdevice* as_device(void* d) { return static_cast<ALCdevice*>(d); }
ALCcontext* as_context(void* c) { return static_cast<ALCcontext*>(c); }

}  // namespace

AudioOutput& AudioOutput::get() {
  if (!output) {
    output = new AudioOutput();
    if (!exit_hook_set) {
      exit_hook_set = true;
      std::atexit(&AudioOutput::close);
    }
  }
  return *output;
}

AudioOutput* AudioOutput::current() { return output; }

void AudioOutput::close() {
  delete output;
  output = nullptr;
}

bool AudioOutput::ever_opened() { return asked_for_device; }

AudioOutput::AudioOutput() : generation_(++last_generation) {
  asked_for_device = true;
  ALCdevice* device = alcOpenDevice(nullptr);
  if (!device) return;
  ALCcontext* context = alcCreateContext(device, nullptr);
  if (!context || !alcMakeContextCurrent(context)) {
    if (context) alcDestroyContext(context);
    alcCloseDevice(device);
    return;
  }
  device_ = device;
  context_ = context;
}

AudioOutput::~AudioOutput() {
  if (!device_) return;
  for (Slot& slot : slots_) {
    alSourceStop(slot.source);
    alSourcei(slot.source, AL_BUFFER, 0);
    alDeleteSources(1, &slot.source);
  }
  slots_.clear();
  if (!buffers_.empty()) {
    alDeleteBuffers(static_cast<ALsizei>(buffers_.size()), buffers_.data());
  }
  alcMakeContextCurrent(nullptr);
  alcDestroyContext(as_context(context_));
  alcCloseDevice(as_device(device_));
}

unsigned AudioOutput::make_buffer(const Pcm& pcm) {
  if (!device_ || pcm.samples.empty()) return 0;
  alGetError();
  ALuint buffer = 0;
  alGenBuffers(1, &buffer);
  if (alGetError() != AL_NO_ERROR) return 0;
  const ALenum format =
      pcm.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
  alBufferData(buffer, format, pcm.samples.data(),
               static_cast<ALsizei>(pcm.samples.size() * sizeof(std::int16_t)),
               pcm.rate);
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &buffer);
    return 0;
  }
  buffers_.push_back(buffer);
  return buffer;
}

void AudioOutput::delete_buffer(unsigned buffer) {
  const auto it = std::find(buffers_.begin(), buffers_.end(), buffer);
  if (it == buffers_.end()) return;
  // A source that still has the buffer attached would make the delete fail.
  for (Slot& slot : slots_) {
    ALint attached = 0;
    alGetSourcei(slot.source, AL_BUFFER, &attached);
    if (static_cast<unsigned>(attached) == buffer) reset(slot);
  }
  alDeleteBuffers(1, &buffer);
  buffers_.erase(it);
}

int AudioOutput::source_state(const Slot& slot) const {
  ALint state = AL_STOPPED;
  alGetSourcei(slot.source, AL_SOURCE_STATE, &state);
  return state;
}

bool AudioOutput::source_busy(const Slot& slot) const {
  const int state = source_state(slot);
  return state == AL_PLAYING || state == AL_PAUSED;
}

void AudioOutput::reset(Slot& slot) {
  alSourceStop(slot.source);
  alSourcei(slot.source, AL_BUFFER, 0);
  slot.lease = 0;
  slot.keep.reset();
}

// A source nobody needs: one not lent (or left to finish and finished), a
// new one while OpenAL gives more, or one lent to a channel whose sound has
// already ended. -1 if every source is busy.
int AudioOutput::free_slot() {
  int found = -1;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    Slot& slot = slots_[i];
    if (slot.lease != 0 || (slot.keep && source_busy(slot))) continue;
    if (slot.keep) reset(slot);  // lets go of sounds nobody plays any more
    if (found < 0) found = static_cast<int>(i);
  }
  if (found >= 0) return found;
  if (!sources_exhausted_) {
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() == AL_NO_ERROR) {
      slots_.push_back(Slot{source, 0, nullptr});
      return static_cast<int>(slots_.size() - 1);
    }
    sources_exhausted_ = true;
  }
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (!source_busy(slots_[i])) return static_cast<int>(i);
  }
  return -1;
}

Voice AudioOutput::acquire(unsigned buffer, bool loop, float gain,
                           double offset_seconds,
                           std::shared_ptr<const void> keep) {
  if (!device_ || buffer == 0) return Voice{};
  const int index = free_slot();
  if (index < 0) return Voice{};
  Slot& slot = slots_[index];
  reset(slot);
  alSourcei(slot.source, AL_BUFFER, static_cast<ALint>(buffer));
  alSourcei(slot.source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
  alSourcef(slot.source, AL_GAIN, gain);
  if (offset_seconds > 0) {
    alSourcef(slot.source, AL_SEC_OFFSET, static_cast<ALfloat>(offset_seconds));
  }
  slot.lease = ++last_lease;
  slot.keep = std::move(keep);
  return Voice{index, slot.lease};
}

bool AudioOutput::holds(const Voice& voice) const {
  return voice.slot >= 0 && voice.slot < static_cast<int>(slots_.size()) &&
         slots_[voice.slot].lease == voice.lease;
}

VoiceState AudioOutput::state(const Voice& voice) const {
  if (!holds(voice)) return VoiceState::finished;
  ALint state = AL_STOPPED;
  alGetSourcei(slots_[voice.slot].source, AL_SOURCE_STATE, &state);
  if (state == AL_PLAYING) return VoiceState::playing;
  if (state == AL_PAUSED || state == AL_INITIAL) return VoiceState::paused;
  return VoiceState::finished;
}

void AudioOutput::play(const Voice& voice) {
  if (holds(voice)) alSourcePlay(slots_[voice.slot].source);
}

void AudioOutput::pause(const Voice& voice) {
  if (holds(voice)) alSourcePause(slots_[voice.slot].source);
}

void AudioOutput::set_gain(const Voice& voice, float gain) {
  if (holds(voice)) alSourcef(slots_[voice.slot].source, AL_GAIN, gain);
}

void AudioOutput::release(Voice& voice) {
  if (holds(voice)) reset(slots_[voice.slot]);
  voice = Voice{};
}

void AudioOutput::abandon(Voice& voice) {
  if (holds(voice)) {
    Slot& slot = slots_[voice.slot];
    if (source_state(slot) == AL_PLAYING) {
      slot.lease = 0;  // keeps `keep` until the source has finished
    } else {
      reset(slot);
    }
  }
  voice = Voice{};
}

}  // namespace platform::detail
