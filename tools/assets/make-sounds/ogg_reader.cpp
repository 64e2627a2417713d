#include "tools/assets/make-sounds/ogg_reader.h"

#include <vorbis/vorbisfile.h>

namespace sounds {

synth::Track read_ogg(const std::string& path) {
  synth::Track track;
  OggVorbis_File file;
  if (ov_fopen(path.c_str(), &file) != 0) return track;
  const vorbis_info* info = ov_info(&file, -1);
  track.rate = static_cast<int>(info->rate);
  track.channels.resize(info->channels);
  float** pcm;
  int section;
  long n;
  while ((n = ov_read_float(&file, &pcm, 4096, &section)) > 0) {
    for (std::size_t c = 0; c < track.channels.size(); ++c) {
      track.channels[c].insert(track.channels[c].end(), pcm[c], pcm[c] + n);
    }
  }
  ov_clear(&file);
  if (n < 0) track.channels.clear();
  return track;
}

}  // namespace sounds
