#include "tests/support/screen_reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>

#include "platform/video/video.h"

namespace testing_support {

namespace {

std::string reference_path(const std::string& name) {
  return std::string(VERMIX_SOURCE_DIR) + "/tests/references/screens/" + name +
         ".png";
}

bool updating() {
  const char* flag = std::getenv("VERMIX_UPDATE_REFERENCES");
  return flag != nullptr && std::string(flag) == "1";
}

// How far a channel may be off and still pass (counted): 0 unless
// VERMIX_REFERENCE_TOLERANCE says, for a GL that rounds blends its own way.
int tolerance() {
  const char* value = std::getenv("VERMIX_REFERENCE_TOLERANCE");
  return value != nullptr ? std::atoi(value) : 0;
}

int largest_difference(const std::uint8_t* a, const std::uint8_t* b) {
  int most = 0;
  for (int c = 0; c < 3; ++c) most = std::max(most, std::abs(a[c] - b[c]));
  return most;
}

}  // namespace

void expect_reference_frame(const std::string& name, int width, int height,
                            const std::vector<std::uint8_t>& rgba) {
  ASSERT_EQ(rgba.size(), static_cast<std::size_t>(width) * height * 4) << name;
  const std::string path = reference_path(name);
  if (updating()) {
    std::vector<std::uint8_t> opaque = rgba;
    for (std::size_t i = 3; i < opaque.size(); i += 4) opaque[i] = 255;
    ASSERT_TRUE(platform::detail::write_png(path, width, height, opaque))
        << path;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  int w = 0, h = 0;
  bool had_alpha = false;
  std::vector<std::uint8_t> expected;
  ASSERT_TRUE(!bytes.empty() &&
              platform::detail::decode_png(bytes.data(), bytes.size(), w, h,
                                           expected, had_alpha))
      << "no reference picture " << path
      << " (tools/review/update-screen-references.sh makes it)";
  ASSERT_EQ(w, width) << name;
  ASSERT_EQ(h, height) << name;
  const int allowed = tolerance();
  long differing = 0, tolerated = 0;
  std::string first;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
      const int off = largest_difference(&rgba[i], &expected[i]);
      if (off == 0) continue;
      if (off <= allowed) {
        ++tolerated;
        continue;
      }
      if (differing++ == 0) {
        first = "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                std::to_string(rgba[i]) + "," + std::to_string(rgba[i + 1]) +
                "," + std::to_string(rgba[i + 2]) + ", reference " +
                std::to_string(expected[i]) + "," +
                std::to_string(expected[i + 1]) + "," +
                std::to_string(expected[i + 2]);
      }
    }
  }
  EXPECT_EQ(differing, 0) << name << ": " << differing
                          << " pixels differ from the reference; first "
                          << first;
  if (allowed > 0) {
    std::cout << "reference " << name << ": " << tolerated
              << " pixels off by at most " << allowed << ", " << differing
              << " off by more\n";
  }
}

}  // namespace testing_support
