// The game killed with SIGKILL at moments spread over its whole run and at
// every step of the save at its end: the high-score and stereo settings files
// are always byte for byte what they held before or what the run saves, never
// cut short, empty or a mix of the two.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "tests/integration/menu_steps.h"

namespace {

using namespace menu_steps;
using testing_support::GameFolder;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const Bytes old_score = {0, 0, 0, 0};
const Bytes old_settings = {4, 0, 0, 0, 0, 0, 0, 0};

// On the title the hologram intensity goes from 4 to 6; then a game with the
// fire key held long enough to score, and the orderly end, which saves both.
std::string raise_and_save() {
  return skip_intro() + click_line(10, 2) + click_line(14, 0) +
         script_line(20, "key 162 down") + script_line(40, "key 162 up") +
         script_line(41, "end");
}

struct Files {
  Bytes score;
  Bytes settings;
};

Files read_files(const GameFolder& game) {
  return {game.read_bytes("data/hiscore.dat"),
          game.read_bytes("data/anaglyph3d.dat")};
}

void put_old_files(GameFolder& game) {
  game.write_bytes("data/hiscore.dat", old_score);
  game.write_bytes("data/anaglyph3d.dat", old_settings);
}

// Removes the temporary files that killed saves left in data/ and returns
// how many there were.
int clear_leftovers(const GameFolder& game) {
  int n = 0;
  for (const auto& entry : fs::directory_iterator(game.path() / "data")) {
    if (entry.path().filename().string().find(".dat.tmp") !=
        std::string::npos) {
      fs::remove(entry.path());
      ++n;
    }
  }
  return n;
}

// Changes in the data folder. Only a save writes there, in steps: a
// temporary file made, written, closed, and renamed over the old file.
class DataFolderWatch {
 public:
  explicit DataFolderWatch(const fs::path& folder)
      : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ < 0 ||
        inotify_add_watch(fd_, folder.c_str(),
                          IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE |
                              IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE) < 0) {
      throw std::runtime_error("inotify failed");
    }
  }
  ~DataFolderWatch() { close(fd_); }
  DataFolderWatch(const DataFolderWatch&) = delete;
  DataFolderWatch& operator=(const DataFolderWatch&) = delete;

  // Waits up to `ms` for changes and returns how many were read.
  int changes(int ms) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, ms) <= 0) return 0;
    alignas(inotify_event) char buffer[4096];
    const ssize_t got = read(fd_, buffer, sizeof buffer);
    int n = 0;
    for (ssize_t at = 0; at < got;) {
      const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
      ++n;
    }
    return n;
  }

 private:
  int fd_;
};

// Follows a started game, counting the steps of its save, until it ends or
// `kill_at` steps have been seen, when it is killed at once. The game is
// reaped either way.
struct Followed {
  int save_steps = 0;
  bool exited = false;
  int status = 0;
};

Followed follow(pid_t pid, DataFolderWatch& watch, int kill_at) {
  Followed f;
  const auto deadline = Clock::now() + std::chrono::seconds(120);
  while (f.save_steps < kill_at && Clock::now() < deadline) {
    if (waitpid(pid, &f.status, WNOHANG) == pid) {
      f.exited = true;
      f.save_steps += watch.changes(0);
      return f;
    }
    f.save_steps += watch.changes(5);
  }
  kill(pid, SIGKILL);
  waitpid(pid, &f.status, 0);
  return f;
}

// A run to its end from the old files: what it saves, how long it takes and
// how many steps its save has.
struct Reference {
  Files fresh;
  Clock::duration length{};
  int save_steps = 0;
};

Reference run_to_the_end(GameFolder& game) {
  put_old_files(game);
  DataFolderWatch watch(game.path() / "data");
  const auto begin = Clock::now();
  const Followed f =
      follow(game.start_script(raise_and_save()), watch, INT_MAX);
  Reference ref;
  ref.length = Clock::now() - begin;
  ref.save_steps = f.save_steps;
  EXPECT_TRUE(f.exited && WIFEXITED(f.status) && WEXITSTATUS(f.status) == 0)
      << "status " << f.status;
  ref.fresh = read_files(game);
  return ref;
}

// The script really changes both files, so old and new can be told apart.
void expect_new_contents(const Reference& ref) {
  ASSERT_EQ(ref.fresh.score.size(), 4u);
  const Bytes& b = ref.fresh.score;
  EXPECT_GT(b[0] | b[1] << 8 | b[2] << 16 | b[3] << 24, 0)
      << "the run scored nothing";
  EXPECT_EQ(ref.fresh.settings, (Bytes{6, 0, 0, 0, 0, 0, 0, 0}));
}

void expect_old_or_new(const GameFolder& game, const Reference& ref,
                       const std::string& when) {
  const Files now = read_files(game);
  EXPECT_TRUE(now.score == old_score || now.score == ref.fresh.score)
      << when << ": high-score file of " << now.score.size() << " bytes";
  EXPECT_TRUE(now.settings == old_settings ||
              now.settings == ref.fresh.settings)
      << when << ": settings file of " << now.settings.size() << " bytes";
}

TEST(KilledGame, FilesAreOldOrNewWhereverInTheRunItDies) {
  GameFolder game;
  const Reference ref = run_to_the_end(game);
  expect_new_contents(ref);
  constexpr int kills = 8;
  for (int i = 0; i < kills; ++i) {
    put_old_files(game);
    const pid_t pid = game.start_script(raise_and_save());
    std::this_thread::sleep_for(ref.length * i / kills);
    kill(pid, SIGKILL);  // a game that already ended waits unreaped
    int status = 0;
    waitpid(pid, &status, 0);
    expect_old_or_new(game, ref,
                      "killed at " + std::to_string(i) + "/" +
                          std::to_string(kills) + " of the run");
    clear_leftovers(game);
  }
}

// Each kill is sent the moment the n-th step of the save is seen, so the
// kills land one after another through both saves.
TEST(KilledGame, FilesAreOldOrNewWhereverInTheSaveItDies) {
  GameFolder game;
  const Reference ref = run_to_the_end(game);
  expect_new_contents(ref);
  // Made, written, closed and renamed, for each of the two files.
  EXPECT_GE(ref.save_steps, 8);
  int cut_saves = 0;
  for (int step = 1; step <= ref.save_steps; ++step) {
    put_old_files(game);
    DataFolderWatch watch(game.path() / "data");
    follow(game.start_script(raise_and_save()), watch, step);
    expect_old_or_new(game, ref, "killed at save step " + std::to_string(step));
    cut_saves += clear_leftovers(game) > 0 ? 1 : 0;
  }
  RecordProperty("kills_inside_a_save", cut_saves);
}

}  // namespace
