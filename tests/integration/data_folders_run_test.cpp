// Where the real executable reads its sounds and keeps its files when it is
// not run from a folder of its own: under XDG_DATA_HOME, or in --data-dir.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/integration/game_run.h"
#include "tests/integration/menu_steps.h"
#include "tests/support/as_nobody.h"

namespace {

namespace fs = std::filesystem;
using testing_support::GameFolder;
using testing_support::RunResult;
using Bytes = std::vector<std::uint8_t>;

// From a read-only working folder the game makes ~/.local/share/vermix (a
// relative XDG_DATA_HOME does not count) with the folders above it that are
// missing, and saves both files there.
TEST(DataFoldersRun, ReadOnlyWorkingFolderSavesUnderXdgDataHome) {
  GameFolder game(false);
  // Root may write anywhere, so the game runs as nobody.
  ASSERT_EQ(testing_support::closed_to_nobody(game.path().parent_path()), "");
  game.use_program(
      testing_support::copy_for_nobody(VERMIX_EXE, game.path()).string());
  const fs::path xdg = game.path() / "xdg";
  fs::create_directories(xdg);
  fs::permissions(xdg, fs::perms::all);
  const std::string script =
      menu_steps::skip_intro() +
      menu_steps::dump(5, (xdg / "dump.jsonl").string()) +
      menu_steps::key_press(7, 27);
  game.write_bytes("script.txt", {script.begin(), script.end()});
  fs::permissions(game.path(), fs::perms(0555));
  const RunResult r = game.run_raw(
      {"--seed", "1", "--window", "--fast", "--script", "script.txt"}, 240,
      [&xdg] {
        setenv("XDG_DATA_HOME", "xdg/relative", 1);  // relative: ignored
        setenv("HOME", (xdg / "home").c_str(), 1);
        testing_support::become_nobody();
      });
  fs::permissions(game.path(), fs::perms(0755));
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err.find("cannot write"), std::string::npos) << r.err;
  const fs::path saves = "xdg/home/.local/share/vermix";
  EXPECT_EQ(game.read_bytes((saves / "hiscore.dat").string()),
            (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(game.read_bytes((saves / "anaglyph3d.dat").string()).size(), 8u);
  EXPECT_EQ(game.dumps("xdg/dump.jsonl").size(), 1u);
}

// --data-dir names the one folder for the sounds and both files.
TEST(DataFoldersRun, DataDirHoldsSoundsAndFiles) {
  GameFolder game;
  fs::rename(game.path() / "data", game.path() / "mine");
  game.write_bytes("mine/hiscore.dat", {0xD2, 0x04, 0, 0});
  const std::string script = menu_steps::skip_intro() + menu_steps::dump(5) +
                             menu_steps::key_press(7, 27);
  const RunResult r = game.run(script, {"--data-dir", "mine", "--seed", "1"});
  const nlohmann::json d = game.only_dump(r);
  EXPECT_EQ(d["sounds_loaded"], 13);
  EXPECT_EQ(d["high_score"], 1234);
  EXPECT_TRUE(game.exists("mine/anaglyph3d.dat"));
  EXPECT_FALSE(game.exists("data"));
  EXPECT_FALSE(game.exists("xdg"));
}

TEST(DataFoldersRun, WhereNamesTheFoldersInUse) {
  GameFolder portable;
  const RunResult here = portable.run_raw({"--where"});
  EXPECT_EQ(here.exit_code, 0);
  const std::string data = (fs::canonical(portable.path()) / "data").string();
  EXPECT_EQ(here.out, "layout:      portable\nsounds:      " + data +
                          "\nsaved files: " + data + "\n");

  GameFolder installed(false);
  const RunResult away = installed.run_raw({"--where"});
  EXPECT_NE(away.out.find("saved files: " +
                          (installed.path() / "xdg" / "vermix").string()),
            std::string::npos)
      << away.out;
  EXPECT_NE(away.out.find("share/vermix\n"), std::string::npos) << away.out;
  EXPECT_EQ(away.out.rfind("layout:      installed\n", 0), 0u) << away.out;
}

}  // namespace
