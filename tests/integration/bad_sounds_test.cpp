// Sound files that are missing, broken or hostile, and no audio device at
// all: the game plays on silently, exactly as it does with its sounds.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "tests/integration/game_run.h"
#include "tests/integration/menu_steps.h"

namespace {

namespace fs = std::filesystem;
using testing_support::GameFolder;
using testing_support::script_line;

constexpr int playing = 2;

// Starts a game, fires for a while and ends.
const std::string short_game = menu_steps::skip_intro() +
                               menu_steps::click_line(5, 0) +
                               script_line(10, "button 1 down") +
                               menu_steps::dump(40) + script_line(41, "end");

std::vector<fs::path> sound_files(const GameFolder& game) {
  std::vector<fs::path> out;
  for (const auto& e : fs::directory_iterator(game.path() / "data"))
    if (e.path().extension() == ".ogg") out.push_back(e.path());
  return out;
}

nlohmann::json played(GameFolder& game,
                      const std::function<void()>& in_child = {}) {
  game.write_bytes("script.txt", {short_game.begin(), short_game.end()});
  const auto r = game.run_raw(
      {"--seed", "1", "--window", "--fast", "--script", "script.txt"}, 240,
      in_child);
  return game.only_dump(r);
}

TEST(BadSounds, BrokenFilesAndNoDevicePlayLikeTheRealSounds) {
  GameFolder reference;
  ASSERT_EQ(sound_files(reference).size(), 13u);
  const nlohmann::json expected = played(reference);
  ASSERT_EQ(expected["game_state"], playing);
  ASSERT_GT(menu_steps::plays(expected, "p1shot"), 0);

  using Shape = std::function<void(const fs::path& file)>;
  const std::vector<std::pair<const char*, Shape>> shapes = {
      {"missing", [](const fs::path& f) { fs::remove(f); }},
      {"empty", [](const fs::path& f) { fs::resize_file(f, 0); }},
      {"truncated",
       [](const fs::path& f) { fs::resize_file(f, fs::file_size(f) / 2); }},
      {"not ogg",
       [](const fs::path& f) {
         std::ofstream out(f, std::ios::trunc);
         for (int i = 0; i < 500; ++i) out << "OggS is not a sound\n";
       }},
      {"huge", [](const fs::path& f) { fs::resize_file(f, 65 << 20); }},
      {"pipe",
       [](const fs::path& f) {
         fs::remove(f);
         ASSERT_EQ(mkfifo(f.c_str(), 0644), 0);
       }},
      {"link to /dev/zero",
       [](const fs::path& f) {
         fs::remove(f);
         fs::create_symlink("/dev/zero", f);
       }},
  };
  for (const auto& [name, make] : shapes) {
    SCOPED_TRACE(name);
    GameFolder game;
    for (const fs::path& f : sound_files(game)) make(f);
    const nlohmann::json d = played(game);
    EXPECT_EQ(d["game_state"], playing);
    EXPECT_EQ(d["sounds"], expected["sounds"]);
    EXPECT_EQ(d["players"], expected["players"]);
  }

  SCOPED_TRACE("no audio device");
  GameFolder game;
  const nlohmann::json d =
      played(game, [] { setenv("ALSOFT_DRIVERS", "no-such-driver", 1); });
  EXPECT_EQ(d["game_state"], playing);
  EXPECT_EQ(d["sounds"], expected["sounds"]);
  EXPECT_EQ(d["players"], expected["players"]);
}

}  // namespace
