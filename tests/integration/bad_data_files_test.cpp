// The high score and settings files in every shape a hostile folder can give
// them: the game reads what it can, plays, and saves in order at the end.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <random>

#include "tests/integration/game_run.h"
#include "tests/integration/menu_steps.h"

namespace {

namespace fs = std::filesystem;
using testing_support::GameFolder;
using Bytes = std::vector<std::uint8_t>;

const std::string title_then_quit = menu_steps::skip_intro() +
                                    menu_steps::dump(5) +
                                    menu_steps::key_press(7, 27);

int le32(const Bytes& b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4 && at + i < b.size(); ++i)
    v |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
  return static_cast<int>(v);
}

Bytes le_bytes(std::initializer_list<int> values) {
  Bytes out;
  for (int value : values) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
      out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  return out;
}

Bytes random_bytes(std::size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  Bytes out(n);
  for (auto& b : out) b = static_cast<std::uint8_t>(gen());
  return out;
}

// Plain files of these contents are read as far as they go.
TEST(BadDataFiles, ShortLongAndRandomContentsAreReadAndWrittenBackWhole) {
  const Bytes pattern = {0x11, 0x22, 0x33, 0x44, 0x02, 0x00, 0x00, 0x00};
  std::vector<Bytes> contents = {{}};
  for (std::size_t n = 1; n <= 7; ++n)
    contents.emplace_back(pattern.begin(), pattern.begin() + n);
  contents.push_back(random_bytes(100 * 1024, 1));
  contents.push_back(random_bytes(16, 2));
  for (const Bytes& bytes : contents) {
    SCOPED_TRACE(::testing::Message() << bytes.size() << " bytes");
    GameFolder game;
    game.write_bytes("data/hiscore.dat", bytes);
    game.write_bytes("data/anaglyph3d.dat", bytes);
    const auto r = game.run(title_then_quit);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const auto d = game.dumps();
    ASSERT_EQ(d.size(), 1u) << r.err;
    const int score = le32(bytes, 0);
    const int intensity = le32(bytes, 0);
    int mode = le32(bytes, 4);
    if (mode < 0 || mode > 4) mode = 0;
    EXPECT_EQ(d[0]["high_score"], score);
    EXPECT_EQ(d[0]["hologram_intensity"], intensity);
    EXPECT_EQ(d[0]["stereo_mode"], mode);
    EXPECT_EQ(game.read_bytes("data/hiscore.dat"), le_bytes({score}));
    EXPECT_EQ(game.read_bytes("data/anaglyph3d.dat"),
              le_bytes({intensity, mode}));
    EXPECT_EQ(r.err.find("cannot write"), std::string::npos) << r.err;
  }
}

// What is no plain file reads as nothing; at the end a plain file takes the
// place of a pipe or link (never of what a link points to), and a folder is
// left standing with a word on stderr.
TEST(BadDataFiles, FoldersPipesAndLinksReadAsMissing) {
  struct Shape {
    const char* name;
    std::function<void(const fs::path&)> make;
  };
  const std::vector<Shape> shapes = {
      {"folder", [](const fs::path& p) { fs::create_directory(p); }},
      {"pipe",
       [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }},
      {"dangling link",
       [](const fs::path& p) { fs::create_symlink("no-such-file", p); }},
      {"link to /dev/urandom",
       [](const fs::path& p) { fs::create_symlink("/dev/urandom", p); }},
  };
  for (const Shape& shape : shapes) {
    SCOPED_TRACE(shape.name);
    GameFolder game;
    for (const char* name : {"hiscore.dat", "anaglyph3d.dat"})
      shape.make(game.path() / "data" / name);
    const auto r = game.run(title_then_quit);
    // A folder in a file's place is left alone: that save is not made.
    ASSERT_EQ(r.exit_code, shape.name == std::string("folder") ? 5 : 0)
        << r.err;
    const auto d = game.dumps();
    ASSERT_EQ(d.size(), 1u) << r.err;
    EXPECT_EQ(d[0]["high_score"], 0);
    EXPECT_EQ(d[0]["hologram_intensity"], 0);
    EXPECT_EQ(d[0]["stereo_mode"], 0);
    if (std::string(shape.name) == "folder") {
      EXPECT_TRUE(fs::is_directory(game.path() / "data" / "hiscore.dat"));
      EXPECT_TRUE(fs::is_directory(game.path() / "data" / "anaglyph3d.dat"));
      EXPECT_NE(r.err.find("cannot write data/hiscore.dat"), std::string::npos)
          << r.err;
      EXPECT_NE(r.err.find("anaglyph3d.dat"), std::string::npos) << r.err;
    } else {
      EXPECT_TRUE(fs::is_regular_file(
          fs::symlink_status(game.path() / "data" / "hiscore.dat")));
      EXPECT_EQ(game.read_bytes("data/hiscore.dat"), le_bytes({0}));
      EXPECT_EQ(game.read_bytes("data/anaglyph3d.dat"), le_bytes({0, 0}));
    }
  }
}

// Stored intensities at the ends of the int range are drawn (stereo on, so
// the backdrop sits four behind and the pointer two in front) and stepped by
// the menu as any other: two more, and past 30 back to 2.
TEST(BadDataFiles, ExtremeHologramIntensitiesStepWithoutOverflow) {
  struct Case {
    int stored;
    std::vector<int> after_clicks;
  };
  for (const Case& c : {Case{INT_MAX, {2}}, Case{INT_MAX - 1, {2}},
                        Case{INT_MIN, {INT_MIN + 2}}, Case{28, {30, 2}}}) {
    SCOPED_TRACE(c.stored);
    GameFolder game;
    game.write_bytes("data/anaglyph3d.dat", le_bytes({c.stored, 1}));
    std::string script = menu_steps::skip_intro();
    long tick = 5;
    for (std::size_t i = 0; i < c.after_clicks.size(); ++i, tick += 4) {
      script += menu_steps::click_line(tick, 2) + menu_steps::dump(tick + 2);
    }
    script += menu_steps::key_press(tick, 27);
    const auto r = game.run(script);
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const auto d = game.dumps();
    ASSERT_EQ(d.size(), c.after_clicks.size()) << r.err;
    for (std::size_t i = 0; i < d.size(); ++i)
      EXPECT_EQ(d[i]["hologram_intensity"], c.after_clicks[i]) << "click " << i;
    EXPECT_EQ(game.read_bytes("data/anaglyph3d.dat"),
              le_bytes({c.after_clicks.back(), 1}));
  }
}

}  // namespace
