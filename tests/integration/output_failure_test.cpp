// Outputs written into a full filesystem: the failure is named once with the
// path and the reason, the game plays on to its end, the exit status says an
// output is incomplete, and what was written before the failure is whole: a
// prefix, to a line's end, of the same output written where there is room.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "tests/integration/game_run.h"

namespace {

namespace fs = std::filesystem;
using testing_support::GameFolder;

TEST(OutputFailure, FullFilesystemKeepsWhatWasWritten) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting a small filesystem needs root";
  GameFolder game;
  const fs::path full = game.path() / "full";
  fs::create_directories(full);
  fs::create_directories(game.path() / "room");
  ASSERT_EQ(mount("tmpfs", full.c_str(), "tmpfs", 0, "size=8k"), 0)
      << std::strerror(errno);
  struct Unmount {
    fs::path at;
    ~Unmount() { umount2(at.c_str(), MNT_DETACH); }
  } unmount{full};
  std::FILE* in =
      std::fopen(VERMIX_SOURCE_DIR "/tests/replays/stages.replay", "rb");
  ASSERT_NE(in, nullptr);
  std::vector<std::uint8_t> replay;
  for (int c; (c = std::fgetc(in)) != EOF;)
    replay.push_back(static_cast<std::uint8_t>(c));
  std::fclose(in);
  game.write_bytes("stages.replay", replay);

  for (const std::string option : {"--record", "--dump-every"}) {
    SCOPED_TRACE(option);
    auto play_into = [&](const std::string& file) {
      std::vector<std::string> args = {"--window", "--fast", "--script",
                                       "stages.replay", option};
      if (option == "--dump-every") args.push_back("1");
      args.push_back(file);
      return game.run_raw(args);
    };
    const std::string name = option.substr(2);
    const auto roomy = play_into("room/" + name);
    ASSERT_EQ(roomy.exit_code, 0) << roomy.err;
    const auto cut = play_into("full/" + name);
    EXPECT_EQ(cut.exit_code, 5) << cut.err;
    const std::string named =
        "cannot write full/" + name + ": No space left on device";
    const std::size_t at = cut.err.find(named);
    EXPECT_NE(at, std::string::npos) << cut.err;
    EXPECT_EQ(cut.err.find(named, at + 1), std::string::npos) << "named twice";

    const auto whole = game.read_bytes("room/" + name);
    const auto kept = game.read_bytes("full/" + name);
    ASSERT_FALSE(kept.empty());
    EXPECT_LT(kept.size(), whole.size());
    EXPECT_EQ(kept.back(), '\n');
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), whole.begin()))
        << "what was written before the failure differs";
    fs::remove(full / name);
  }
}

}  // namespace
