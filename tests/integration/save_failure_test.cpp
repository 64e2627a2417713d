// Saves at the end that cannot be made: the game says so on stderr, keeps
// the previous files whole and ends with status 5. And what killed
// saves left behind is cleared away by the next one.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "tests/integration/game_run.h"
#include "tests/integration/menu_steps.h"
#include "tests/support/as_nobody.h"
#include "tests/support/ended_process.h"

namespace {

namespace fs = std::filesystem;
using testing_support::GameFolder;
using testing_support::RunResult;
using Bytes = std::vector<std::uint8_t>;

const Bytes old_score = {0xD2, 0x04, 0, 0};
const Bytes old_settings = {6, 0, 0, 0, 3, 0, 0, 0};

// Starts on the title with both files, changes a setting and quits, so both
// files would be written anew.
RunResult change_and_quit(GameFolder& game,
                          const std::function<void()>& in_child = {}) {
  game.write_bytes("data/hiscore.dat", old_score);
  game.write_bytes("data/anaglyph3d.dat", old_settings);
  const std::string script = menu_steps::skip_intro() +
                             menu_steps::click_line(5, 2) +
                             menu_steps::key_press(9, 27);
  game.write_bytes("script.txt", {script.begin(), script.end()});
  return game.run_raw(
      {"--seed", "1", "--window", "--fast", "--script", "script.txt"}, 240,
      in_child);
}

void expect_old_files_kept(const GameFolder& game, const std::string& err) {
  EXPECT_NE(err.find("cannot write data/hiscore.dat: "), std::string::npos)
      << err;
  EXPECT_NE(err.find("cannot write data/anaglyph3d.dat: "), std::string::npos)
      << err;
  EXPECT_EQ(game.read_bytes("data/hiscore.dat"), old_score);
  EXPECT_EQ(game.read_bytes("data/anaglyph3d.dat"), old_settings);
  int entries = 0;
  for (const auto& e : fs::directory_iterator(game.path() / "data"))
    entries += e.path().extension() == ".ogg" ? 0 : 1;
  EXPECT_EQ(entries, 2) << "a temporary file was left behind";
}

TEST(SaveFailure, WritableFolderSavesSilently) {
  GameFolder game;
  const RunResult r = change_and_quit(game);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err.find("cannot write"), std::string::npos) << r.err;
  EXPECT_EQ(game.read_bytes("data/anaglyph3d.dat"),
            (Bytes{8, 0, 0, 0, 3, 0, 0, 0}));
}

// Root may write anywhere, so the game then runs as nobody.
TEST(SaveFailure, ReadOnlyDataFolder) {
  GameFolder game;
  ASSERT_EQ(testing_support::closed_to_nobody(game.path().parent_path()), "");
  game.use_program(
      testing_support::copy_for_nobody(VERMIX_EXE, game.path()).string());
  fs::permissions(game.path(), fs::perms(0755));
  fs::permissions(game.path() / "data", fs::perms(0555));
  const RunResult r =
      change_and_quit(game, [] { testing_support::become_nobody(); });
  fs::permissions(game.path() / "data", fs::perms(0755));
  ASSERT_EQ(r.exit_code, 5) << r.err;
  expect_old_files_kept(game, r.err);
}

// No file may grow (as on a full disk): RLIMIT_FSIZE of 0. Stderr then goes
// through a pipe, as the file it usually goes to could not grow either.
TEST(SaveFailure, FullDisk) {
  GameFolder game;
  int pipe_fds[2];
  ASSERT_EQ(pipe2(pipe_fds, O_CLOEXEC), 0);
  fcntl(pipe_fds[0], F_SETPIPE_SZ, 1 << 20);
  const RunResult r = change_and_quit(game, [&] {
    if (dup2(pipe_fds[1], 2) != 2) _exit(125);
    signal(SIGXFSZ, SIG_IGN);
    const rlimit none = {0, 0};
    if (setrlimit(RLIMIT_FSIZE, &none) != 0) _exit(125);
  });
  close(pipe_fds[1]);
  std::string err;
  char buffer[4096];
  ssize_t n;
  while ((n = read(pipe_fds[0], buffer, sizeof buffer)) > 0)
    err.append(buffer, static_cast<std::size_t>(n));
  close(pipe_fds[0]);
  ASSERT_EQ(r.exit_code, 5) << r.err << err;
  expect_old_files_kept(game, err);
}

// A game killed while saving leaves "<file>.tmp<pid>"; the next game's save
// removes those of processes that have ended, and nothing else.
TEST(SaveFailure, TemporariesOfKilledSavesAreClearedAway) {
  GameFolder game;
  const std::string dead = std::to_string(testing_support::ended_pid());
  const std::string live = std::to_string(getpid());
  const Bytes junk = {1, 2};
  for (const std::string name : {"hiscore.dat.tmp", "anaglyph3d.dat.tmp"})
    game.write_bytes("data/" + name + dead, junk);
  const std::vector<std::string> kept = {"data/hiscore.dat.tmp" + live,
                                         "data/notes.txt.tmp" + dead,
                                         "hiscore.dat.tmp" + dead};
  for (const std::string& name : kept) game.write_bytes(name, junk);
  const RunResult r = change_and_quit(game);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_FALSE(game.exists("data/hiscore.dat.tmp" + dead));
  EXPECT_FALSE(game.exists("data/anaglyph3d.dat.tmp" + dead));
  for (const std::string& name : kept)
    EXPECT_EQ(game.read_bytes(name), junk) << name;
  EXPECT_EQ(game.read_bytes("data/hiscore.dat"), old_score);
  EXPECT_EQ(game.read_bytes("data/anaglyph3d.dat"),
            (Bytes{8, 0, 0, 0, 3, 0, 0, 0}));
}

}  // namespace
