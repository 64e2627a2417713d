// Hostile input scripts: broken lines, a huge file, a folder in its place.
// Each is refused with status 2 before any game runs, or played to the end.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/integration/game_run.h"
#include "tests/integration/menu_steps.h"

namespace {

using testing_support::GameFolder;
using testing_support::script_line;

TEST(BadScript, BrokenLinesAreRefusedNamingTheLine) {
  struct Case {
    std::string line;
    std::string said;
  };
  const std::vector<Case> cases = {
      {"-1 end", "negative"},
      {"99999999999999999999 end", "tick"},
      {"5", "an event must follow"},
      {"5 key 256 down", "key code"},
      {"5 key 27 sideways", "'down' or 'up'"},
      {"5 mouse 1", "T mouse X Y"},
      {"5 mouse 1 99999999999", "pointer y"},
      {"5 button 0 down", "mouse button"},
      {"5 joy 16 connect", "joystick port"},
      {"5 joy 0 axis 0 nan", "axis value"},
      {"5 dump", "T dump PATH"},
      {"5 end now", "T end"},
      {std::string("5 \x01\xff\x7f end"), "unknown event"},
      {"5 " + std::string(1 << 20, 'x'), "unknown event"},
  };
  GameFolder game(false);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    const auto r =
        game.run("# a comment\n\n1 mouse 5 5\n" + c.line + "\n", {}, 60);
    EXPECT_EQ(r.exit_code, 2) << r.err;
    EXPECT_NE(r.err.find("script.txt:4: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err.substr(0, 200);
  }
  EXPECT_FALSE(game.exists("data")) << "a game ran";
}

// A million lines, all due in the first ticks, then the end.
TEST(BadScript, AMillionLinesArePlayed) {
  std::string script;
  for (int i = 0; i < 1000000; ++i)
    script += script_line(1 + i % 3, "mouse " + std::to_string(i % 640) + " 5");
  script += script_line(4, "dump dump.jsonl") + script_line(5, "end");
  GameFolder game;
  const auto r = game.run(script);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 1u) << r.err;
  // The last pointer line of the last tick counts.
  EXPECT_EQ(d[0]["mouse"], nlohmann::json::array({318, 5}));

  // And a million lines whose last one is broken are refused.
  const auto refused = game.run(script + "6 jump\n");
  EXPECT_EQ(refused.exit_code, 2) << refused.err;
  EXPECT_NE(refused.err.find("script.txt:1000003: "), std::string::npos)
      << refused.err;
}

TEST(BadScript, AFolderIsNoScript) {
  GameFolder game(false);
  std::filesystem::create_directory(game.path() / "scripts");
  const auto r =
      game.run_raw({"--window", "--fast", "--script", "scripts"}, 60);
  EXPECT_EQ(r.exit_code, 2) << r.err;
  EXPECT_NE(r.err.find("scripts: is a folder"), std::string::npos) << r.err;
  EXPECT_FALSE(game.exists("data")) << "a game ran";
}

// A script may come through a pipe, read to its end; an endless source is
// cut off at its limit instead of filling memory.
TEST(BadScript, PipesAreReadToTheirEndButNothingEndless) {
  GameFolder game;
  const std::string script = menu_steps::skip_intro() +
                             script_line(5, "dump dump.jsonl") +
                             script_line(6, "end");
  const std::string pipe = (game.path() / "script.pipe").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::thread writer([&] { std::ofstream(pipe, std::ios::binary) << script; });
  const auto piped = game.run_raw(
      {"--window", "--fast", "--seed", "1", "--script", "script.pipe"}, 60);
  // Should the game never have opened the pipe, this frees the writer.
  const int unblock = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  writer.join();
  close(unblock);
  EXPECT_EQ(piped.exit_code, 0) << piped.err;
  EXPECT_EQ(game.dumps().size(), 1u) << piped.err;

  const auto endless =
      game.run_raw({"--window", "--fast", "--script", "/dev/zero"}, 60);
  EXPECT_EQ(endless.exit_code, 2) << endless.err;
  EXPECT_NE(endless.err.find("too long for a script"), std::string::npos)
      << endless.err;
}

// A pointer put far off the display lands on its edge, as a real one would,
// so a stick pushing it further cannot overflow.
TEST(BadScript, PointerFarOffTheDisplayStaysOnItsEdge) {
  const std::string script =
      script_line(1, "joy 0 connect") +
      script_line(2, "mouse 2147483647 -2147483648") +
      script_line(2, "joy 0 axis 0 1") + script_line(2, "joy 0 axis 1 -1") +
      script_line(3, "dump dump.jsonl") + script_line(4, "end");
  GameFolder game;
  const auto r = game.run(script);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err.find("runtime error"), std::string::npos) << r.err;
  const auto d = game.dumps();
  ASSERT_EQ(d.size(), 1u);
  const int x = d[0]["mouse"][0];
  const int y = d[0]["mouse"][1];
  EXPECT_GE(x, 639);
  EXPECT_LE(x, 639 + 4);
  EXPECT_LE(y, 0);
  EXPECT_GE(y, -4);
}

}  // namespace
