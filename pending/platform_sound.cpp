// Placeholder definitions until the real module lands. Delete this file
// when the module that provides these is written.
#include <cstdlib>

#include "platform/platform.h"

namespace platform {

SoundRef load_sound(const std::string&, int) { return nullptr; }
ChannelRef alloc_channel() { return nullptr; }
ChannelRef cue_sound(const SoundRef&, const ChannelRef&) { return nullptr; }
void resume_channel(const ChannelRef&) {  }
void pause_channel(const ChannelRef&) {  }
void stop_channel(const ChannelRef&) {  }
int channel_playing(const ChannelRef&) { return 0; }
void set_channel_volume(const ChannelRef&, float) {  }

}  // namespace platform
