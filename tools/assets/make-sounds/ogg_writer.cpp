#include "tools/assets/make-sounds/ogg_writer.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>

namespace sounds {
namespace {

bool write_page(std::FILE* f, const ogg_page& page) {
  return std::fwrite(page.header, 1, page.header_len, f) ==
             static_cast<std::size_t>(page.header_len) &&
         std::fwrite(page.body, 1, page.body_len, f) ==
             static_cast<std::size_t>(page.body_len);
}

// Moves every finished packet from the encoder into the stream and writes
// the pages that fill up.
bool drain(vorbis_dsp_state& dsp, vorbis_block& block, ogg_stream_state& os,
           std::FILE* f) {
  ogg_packet packet;
  ogg_page page;
  bool ok = true;
  while (vorbis_analysis_blockout(&dsp, &block) == 1) {
    vorbis_analysis(&block, nullptr);
    vorbis_bitrate_addblock(&block);
    while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
      ogg_stream_packetin(&os, &packet);
      while (ogg_stream_pageout(&os, &page)) ok = ok && write_page(f, page);
    }
  }
  return ok;
}

}  // namespace

bool write_ogg(const std::string& path, const synth::Track& track,
               float quality, std::uint32_t serial) {
  const int channels = static_cast<int>(track.channels.size());
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;

  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, channels, track.rate, quality) != 0) {
    vorbis_info_clear(&info);
    std::fclose(f);
    return false;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block block;
  vorbis_block_init(&dsp, &block);
  ogg_stream_state os;
  ogg_stream_init(&os, static_cast<int>(serial));

  bool ok = true;
  ogg_packet header, header_comment, header_code;
  vorbis_analysis_headerout(&dsp, &comment, &header, &header_comment,
                            &header_code);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &header_comment);
  ogg_stream_packetin(&os, &header_code);
  ogg_page page;
  // The headers go on pages of their own, before any audio.
  while (ogg_stream_flush(&os, &page)) ok = ok && write_page(f, page);

  const std::size_t frames = track.frames();
  const std::size_t chunk = 4096;
  for (std::size_t at = 0; at < frames; at += chunk) {
    const std::size_t n = std::min(chunk, frames - at);
    float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
    for (int c = 0; c < channels; ++c) {
      std::copy_n(track.channels[c].begin() + at, n, buffer[c]);
    }
    vorbis_analysis_wrote(&dsp, static_cast<int>(n));
    ok = drain(dsp, block, os, f) && ok;
  }
  vorbis_analysis_wrote(&dsp, 0);  // end of stream
  ok = drain(dsp, block, os, f) && ok;
  while (ogg_stream_flush(&os, &page)) ok = ok && write_page(f, page);

  ogg_stream_clear(&os);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

}  // namespace sounds
