#include "tests/game/art_pictures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/video/video.h"

Picture read_picture(const std::string& path) {
  Picture p;
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  EXPECT_FALSE(bytes.empty()) << "cannot read " << path;
  if (bytes.empty() ||
      !platform::detail::decode_png(bytes.data(), bytes.size(), p.width,
                                    p.height, p.rgba, p.had_alpha)) {
    ADD_FAILURE() << "cannot decode " << path;
    return Picture{};
  }
  return p;
}

Picture committed_picture(const std::string& name) {
  return read_picture(std::string(VERMIX_SOURCE_DIR) + "/assets/graphx/" +
                      name);
}

std::vector<std::string> small_frame_mask(const Picture& sheet, int frame) {
  std::vector<std::string> rows;
  for (int y = 0; y < 10; ++y) {
    std::string row;
    for (int x = 0; x < 10; ++x) {
      row += sheet.black(1 + 11 * frame + x, 1 + y) ? '.' : '#';
    }
    rows.push_back(row);
  }
  return rows;
}
