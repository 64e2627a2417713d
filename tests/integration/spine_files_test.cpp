// The two small files: the high score and the stereo settings, read at
// start-up and written whole at every orderly end.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/integration/game_run.h"

namespace {

using testing_support::GameFolder;
using testing_support::script_line;
using Bytes = std::vector<std::uint8_t>;

// Skips the logo with Space and dumps on the title screen.
const std::string title_dump = script_line(5, "key 32 down") +
                               script_line(5, "key 32 up") +
                               script_line(8, "dump dump.jsonl");
const std::string quit_from_title =
    title_dump + script_line(10, "key 27 down") + script_line(10, "key 27 up");

nlohmann::json title_state(GameFolder& game, int status = 0) {
  return game.only_dump(game.run(quit_from_title), status);
}

TEST(SpineHighScore, StoredScoreIsShownAndWrittenBack) {
  GameFolder game;
  game.write_bytes("data/hiscore.dat", {0xD2, 0x04, 0x00, 0x00});
  EXPECT_EQ(title_state(game)["high_score"], 1234);
  EXPECT_EQ(game.read_bytes("data/hiscore.dat"), (Bytes{0xD2, 0x04, 0, 0}));
}

TEST(SpineHighScore, NegativeAndLongFilesReadTheFirstFourBytes) {
  GameFolder game;
  game.write_bytes("data/hiscore.dat", {0xFE, 0xFF, 0xFF, 0xFF, 9, 9});
  EXPECT_EQ(title_state(game)["high_score"], -2);
  EXPECT_EQ(game.read_bytes("data/hiscore.dat"),
            (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(SpineHighScore, ShortFileReadsMissingBytesAsZero) {
  GameFolder game;
  game.write_bytes("data/hiscore.dat", {0x05, 0x01});
  EXPECT_EQ(title_state(game)["high_score"], 0x0105);
  EXPECT_EQ(game.read_bytes("data/hiscore.dat"), (Bytes{0x05, 0x01, 0, 0}));
}

TEST(SpineHighScore, MissingFileIsZeroAndCreatedAtExit) {
  GameFolder game;
  EXPECT_EQ(title_state(game)["high_score"], 0);
  EXPECT_EQ(game.read_bytes("data/hiscore.dat"), (Bytes{0, 0, 0, 0}));
}

TEST(SpineHighScore, FolderInItsPlaceIsZeroAndLeftAlone) {
  GameFolder game;
  std::filesystem::create_directories(game.path() / "data" / "hiscore.dat" /
                                      "x");
  EXPECT_EQ(title_state(game, 5)["high_score"], 0);
  EXPECT_TRUE(std::filesystem::is_directory(game.path() / "data" /
                                            "hiscore.dat" / "x"));
}

// Without a data folder the game runs as installed: the sounds of the build
// folder's executable are not found, effects still count their plays, and
// both files are saved in XDG_DATA_HOME's vermix folder, made for them.
TEST(SpineFiles, MissingDataFolder) {
  GameFolder game(false);
  const std::string script =
      title_dump + script_line(10, "mouse 320 320") +
      script_line(11, "button 1 down") + script_line(11, "button 1 up") +
      script_line(13, "dump dump.jsonl") + script_line(15, "key 27 down") +
      script_line(15, "key 27 up");
  const auto r = game.run(script);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 2u) << r.err;
  EXPECT_EQ(d[0]["sounds_loaded"], 0);
  EXPECT_EQ(d[0]["retro_lines"], 0);
  EXPECT_EQ(d[1]["retro_lines"], 1) << "the click missed Retro line FX";
  EXPECT_EQ(d[1]["sounds"]["thump"], 1);
  EXPECT_EQ(game.read_bytes("xdg/vermix/hiscore.dat"), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(game.read_bytes("xdg/vermix/anaglyph3d.dat").size(), 8u);
  EXPECT_FALSE(game.exists("data"));
  EXPECT_EQ(r.err.find("cannot write"), std::string::npos) << r.err;
}

TEST(SpineAnaglyph, SettingsAndEyeColoursAreLoadedBeforeTheFirstFrame) {
  GameFolder game;
  game.write_bytes("data/anaglyph3d.dat", {6, 0, 0, 0, 3, 0, 0, 0});
  const auto r =
      game.run(script_line(1, "dump dump.jsonl") + script_line(2, "end"));
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 1u) << r.err;
  EXPECT_EQ(d[0]["hologram_intensity"], 6);
  EXPECT_EQ(d[0]["stereo_mode"], 3);
  EXPECT_EQ(d[0]["eyes"], nlohmann::json::array({4, 80, 60, 140, 4, 10}));
  EXPECT_EQ(game.read_bytes("data/anaglyph3d.dat"),
            (Bytes{6, 0, 0, 0, 3, 0, 0, 0}));
}

// Three clicks on "3D Graphics" (Off -> M\G -> R\G -> R\C) and three on
// "Hologram Intensity" (0 -> 2 -> 4 -> 6).
TEST(SpineAnaglyph, MenuChoicesAreSavedAtExit) {
  GameFolder game;
  std::string script = title_dump + script_line(10, "mouse 320 280");
  for (long t : {11, 13, 15}) {
    script += script_line(t, "button 1 down") + script_line(t, "button 1 up");
  }
  script += script_line(20, "mouse 320 300");
  for (long t : {21, 23, 25}) {
    script += script_line(t, "button 1 down") + script_line(t, "button 1 up");
  }
  script += script_line(30, "key 27 down") + script_line(30, "key 27 up");
  const auto r = game.run(script);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(game.read_bytes("data/anaglyph3d.dat"),
            (Bytes{6, 0, 0, 0, 3, 0, 0, 0}));
}

TEST(SpineAnaglyph, UnknownStereoModeIsTreatedAsOff) {
  GameFolder game;
  game.write_bytes("data/anaglyph3d.dat", {4, 0, 0, 0, 9, 0, 0, 0});
  const nlohmann::json s = title_state(game);
  EXPECT_EQ(s["stereo_mode"], 0);
  EXPECT_EQ(s["hologram_intensity"], 4);
  EXPECT_EQ(s["eyes"], nlohmann::json::array({0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(game.read_bytes("data/anaglyph3d.dat"),
            (Bytes{4, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(SpineAnaglyph, ShortFileAndFolderInItsPlace) {
  {
    GameFolder game;
    game.write_bytes("data/anaglyph3d.dat", {8, 0, 0});
    const nlohmann::json s = title_state(game);
    EXPECT_EQ(s["hologram_intensity"], 8);
    EXPECT_EQ(s["stereo_mode"], 0);
  }
  {
    GameFolder game;
    std::filesystem::create_directory(game.path() / "data" / "anaglyph3d.dat");
    const nlohmann::json s = title_state(game, 5);
    EXPECT_EQ(s["hologram_intensity"], 0);
    EXPECT_TRUE(
        std::filesystem::is_directory(game.path() / "data" / "anaglyph3d.dat"));
  }
}

}  // namespace
