// The backdrop, pointer and studio logo, and the generator that makes all
// four pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/game/art_pictures.h"
#include "tests/support/scratch_folder.h"

namespace {

int brightest(const Picture& p, int x, int y) {
  const std::uint8_t* c = p.at(x, y);
  return std::max({c[0], c[1], c[2]});
}

std::vector<char> file_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(ArtFiles, PictureSizesAndFormats) {
  const Picture bg = committed_picture("vermix_bg.png");
  EXPECT_EQ(bg.width, 640);
  EXPECT_EQ(bg.height, 480);
  EXPECT_FALSE(bg.had_alpha);
  const Picture pointer = committed_picture("dmpointer.png");
  EXPECT_EQ(pointer.width, 18);
  EXPECT_EQ(pointer.height, 18);
  EXPECT_TRUE(pointer.had_alpha);
  const Picture logo = committed_picture("qwlogo.png");
  EXPECT_EQ(logo.width, 420);
  EXPECT_EQ(logo.height, 236);
  EXPECT_FALSE(logo.had_alpha);
}

TEST(ArtFiles, PointerIsAWhiteArrowWithADarkRimPointingTopLeft) {
  const Picture p = committed_picture("dmpointer.png");
  ASSERT_EQ(p.width, 18);
  EXPECT_TRUE(p.white(0, 0));
  EXPECT_EQ(p.at(0, 0)[3], 255) << "the tip is the hot spot";
  EXPECT_EQ(p.at(17, 0)[3], 0) << "transparent beside the arrow";
  int white = 0, rim = 0;
  for (int y = 0; y < 18; ++y) {
    for (int x = 0; x < 18; ++x) {
      const std::uint8_t a = p.at(x, y)[3];
      ASSERT_TRUE(a == 0 || a == 255) << "no half-transparent pixels";
      if (a == 0) continue;
      if (p.white(x, y)) {
        ++white;
      } else {
        ++rim;
        EXPECT_LT(brightest(p, x, y), 64) << "rim at " << x << "," << y;
      }
      // An arrow from the top-left: nothing above the diagonal x = y + 1.
      EXPECT_LE(x, y + 1) << "opaque at " << x << "," << y;
    }
  }
  EXPECT_GT(white, 40);
  EXPECT_GT(rim, 20);
}

TEST(ArtFiles, BackdropIsDarkInTheFieldAndGlowsInThePanels) {
  const Picture p = committed_picture("vermix_bg.png");
  ASSERT_EQ(p.width, 640);
  // The field stays dark and blue so that sprites stand out over it.
  long sum = 0;
  int count = 0;
  for (int y = 20; y <= 460; ++y) {
    for (int x = 170; x <= 470; ++x) {
      const std::uint8_t* c = p.at(x, y);
      ASSERT_LE(brightest(p, x, y), 170) << "at " << x << "," << y;
      ASSERT_GE(c[2], c[0]) << "blue-tinted at " << x << "," << y;
      sum += c[0] + c[1] + c[2];
      ++count;
    }
  }
  EXPECT_LT(sum / count, 3 * 40);
  EXPECT_GT(sum / count, 3 * 5) << "not just black";
  // Panels: black at the top and bottom, bright blue at mid-height.
  for (int x : {20, 100, 169, 471, 560, 639}) {
    EXPECT_LT(brightest(p, x, 0), 10);
    EXPECT_LT(brightest(p, x, 479), 10);
    const std::uint8_t* mid = p.at(x, 240);
    EXPECT_GT(mid[2], 150) << "x " << x;
    EXPECT_GT(mid[2], 2 * mid[0]) << "x " << x;
    EXPECT_GT(mid[2], p.at(x, 120)[2]) << "brighter towards the middle";
  }
}

TEST(ArtFiles, StudioLogoIsColourfulOnBlack) {
  const Picture p = committed_picture("qwlogo.png");
  ASSERT_EQ(p.width, 420);
  EXPECT_TRUE(p.black(0, 0) && p.black(419, 235));
  int lit = 0, warm = 0, cool = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      if (p.black(x, y)) continue;
      ++lit;
      const std::uint8_t* c = p.at(x, y);
      warm += c[0] > c[2] + 60;
      cool += c[2] > c[0] + 60;
    }
  }
  EXPECT_GT(lit, 420 * 236 / 10);
  EXPECT_GT(warm, 1000);
  EXPECT_GT(cool, 1000);
}

#ifdef VERMIX_MAKE_ART
TEST(ArtFiles, GeneratorReproducesTheCommittedPicturesExactly) {
  const testing_support::ScratchFolder folder;
  const std::filesystem::path& out = folder.path();
  const std::string command =
      std::string("\"") + VERMIX_MAKE_ART + "\" \"" + out.string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::filesystem::path committed =
      std::filesystem::path(VERMIX_SOURCE_DIR) / "assets" / "graphx";
  for (const char* name :
       {"vermix_01.png", "vermix_bg.png", "dmpointer.png", "qwlogo.png"}) {
    const std::vector<char> made = file_bytes(out / name);
    EXPECT_FALSE(made.empty()) << name;
    EXPECT_TRUE(made == file_bytes(committed / name))
        << name << " differs from the committed file; run make_art "
        << committed << " and commit the result";
  }
}
#endif

TEST(ArtFiles, FontGeneratorReproducesTheCommittedFace) {
  const testing_support::ScratchFolder folder;
  const std::filesystem::path made = folder.path() / "face.ttf";
  const std::filesystem::path source(VERMIX_SOURCE_DIR);
  const std::string command = "\"" +
                              (source / "tools/assets/make-font.py").string() +
                              "\" \"" + made.string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_TRUE(file_bytes(made) ==
              file_bytes(source / "assets/fonts/joystix.ttf"))
      << "run tools/assets/make-font.py and commit the result";
}
