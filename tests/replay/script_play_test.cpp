// Playing an input script: when its events take effect, and what they do.
#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/platform.h"
#include "platform/system/system.h"
#include "replay/input_script.h"
#include "replay/replay.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using platform::detail::advance_tick;

class ScriptPlay : public ::testing::Test {
 protected:
  ~ScriptPlay() override {
    replay::detail::stop_input_script();
    replay::set_state_dumper(nullptr);
  }

  void load(const std::string& text) {
    const fs::path path = dir_ / "script.txt";
    std::ofstream(path) << text;
    std::string error;
    ASSERT_TRUE(replay::load_input_script(path.string(), error)) << error;
  }
  void ticks(int n) {
    for (int i = 0; i < n; ++i) advance_tick();
  }
  std::string file(const std::string& name) {
    std::ifstream in(dir_ / name);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  testing_support::ScratchFolder folder_;
  const fs::path& dir_ = folder_.path();
};

TEST_F(ScriptPlay, EventsOfTickTApplyOnlyAfterTTicks) {
  load("0 key 27 down\n0 key 27 up\n3 key 32 down\n3 mouse 200 100\n");
  EXPECT_TRUE(replay::script_active());
  EXPECT_EQ(platform::current_tick(), 0);
  EXPECT_EQ(platform::key_hit(27), 1);
  ticks(2);
  EXPECT_EQ(platform::key_down(32), 0);
  EXPECT_EQ(platform::mouse_x(), 0);
  ticks(1);
  EXPECT_EQ(platform::current_tick(), 3);
  EXPECT_EQ(platform::key_down(32), 1);
  EXPECT_EQ(platform::mouse_x(), 200);
  EXPECT_EQ(platform::mouse_y(), 100);
  EXPECT_EQ(platform::key_hit(32), 1);
}

TEST_F(ScriptPlay, DownAndUpInOneTickIsOnePressNotHeld) {
  load(
      "2 button 1 down\n2 button 1 up\n2 key 162 down\n2 key 162 up\n"
      "2 key 162 down\n");
  ticks(2);
  EXPECT_EQ(platform::mouse_hit(1), 1);
  EXPECT_EQ(platform::mouse_down(1), 0);
  EXPECT_EQ(platform::key_hit(162), 2);
  EXPECT_EQ(platform::key_down(162), 1);
}

TEST_F(ScriptPlay, FlushForgetsHeldMouseButKeepsJoystickButtons) {
  load(
      "0 button 1 down\n0 joy 0 connect\n0 joy 0 button 1 down\n"
      "3 button 1 up\n4 button 1 down\n");
  platform::flush_mouse();
  platform::flush_keys();
  EXPECT_EQ(platform::mouse_down(1), 0);
  EXPECT_EQ(platform::mouse_hit(1), 0);
  EXPECT_EQ(platform::joy_down(1, 0), 1);
  ticks(4);
  EXPECT_EQ(platform::mouse_down(1), 1);
  EXPECT_EQ(platform::mouse_hit(1), 1);
}

TEST_F(ScriptPlay, LateReadSeesEveryEventDueSoFarInOrder) {
  load("1 key 65 down\n2 key 65 up\n3 key 65 down\n4 key 65 up\n");
  ticks(10);  // nobody read input in between
  EXPECT_EQ(platform::key_hit(65), 2);
  EXPECT_EQ(platform::key_down(65), 0);
}

TEST_F(ScriptPlay, WaitPassCountsATick) {
  load("1 key 27 down\n");
  platform::RunOptions fast;
  fast.fast = true;
  platform::set_run_options(fast);
  platform::wait_pass();
  EXPECT_EQ(platform::current_tick(), 1);
  EXPECT_EQ(platform::key_down(27), 1);
  platform::set_run_options(platform::RunOptions{});
}

TEST_F(ScriptPlay, VirtualJoysticks) {
  load(
      "0 joy 0 connect\n0 joy 1 connect\n"
      "1 joy 0 axis 0 -1.0\n1 joy 1 axis 1 1\n1 joy 0 button 0 down\n"
      "1 joy 0 button 0 up\n1 joy 0 button 2 down\n"
      "2 joy 0 axis 0 -0.9\n2 joy 0 disconnect\n2 joy 5 button 0 down\n"
      "3 joy 0 connect\n");
  EXPECT_EQ(platform::joy_count(), 2);
  EXPECT_EQ(platform::joy_x(0), 0.0f);
  ticks(1);
  EXPECT_EQ(platform::joy_x(0), -1.0f);
  EXPECT_EQ(platform::joy_y(1), 1.0f);
  EXPECT_EQ(platform::joy_hit(0, 0), 1);
  EXPECT_EQ(platform::joy_down(0, 0), 0);
  EXPECT_EQ(platform::joy_down(2, 0), 1);
  ticks(1);
  EXPECT_EQ(platform::joy_count(), 1);
  EXPECT_EQ(platform::joy_x(0), 0.0f);
  EXPECT_EQ(platform::joy_down(2, 0), 0);
  EXPECT_EQ(platform::joy_y(1), 1.0f);
  EXPECT_EQ(platform::joy_hit(0, 5), 0);
  ticks(1);  // connected again: nothing held, centred
  EXPECT_EQ(platform::joy_count(), 2);
  EXPECT_EQ(platform::joy_down(2, 0), 0);
  EXPECT_EQ(platform::joy_x(0), 0.0f);
}

TEST_F(ScriptPlay, FocusSuspendsAndClearsKeys) {
  load(
      "0 key 162 down\n0 button 1 down\n1 focus lost\n1 key 32 down\n"
      "2 focus gained\n");
  EXPECT_EQ(platform::key_down(162), 1);
  ticks(1);
  EXPECT_EQ(platform::app_suspended(), 1);
  EXPECT_EQ(platform::key_hit(162), 0);
  EXPECT_EQ(platform::key_down(162), 0);
  EXPECT_EQ(platform::mouse_down(1), 0);
  ticks(1);
  EXPECT_EQ(platform::app_suspended(), 0);
  EXPECT_EQ(platform::key_hit(32), 0);
}

TEST_F(ScriptPlay, CloseIsReportedOnceAndEndStands) {
  load("1 close\n3 end\n");
  EXPECT_EQ(platform::app_terminate(), 0);
  ticks(1);
  EXPECT_EQ(platform::app_terminate(), 1);
  EXPECT_EQ(platform::app_terminate(), 0);
  ticks(2);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(platform::app_terminate(), 1);
}

TEST_F(ScriptPlay, DumpAppendsTheDumpersLineWhereTheScriptIs) {
  const std::string dump = (dir_ / "d.jsonl").string();
  // The dumper reads input itself, as the game's does.
  replay::set_state_dumper(
      [] { return "{\"x\":" + std::to_string(platform::mouse_x()) + "}"; });
  load("0 mouse 10 0\n0 dump " + dump + "\n0 mouse 20 0\n2 dump " + dump +
       "\n");
  EXPECT_EQ(platform::mouse_x(), 20);
  EXPECT_EQ(file("d.jsonl"), "{\"x\":10}\n");
  ticks(2);
  platform::key_hit(0);
  EXPECT_EQ(file("d.jsonl"), "{\"x\":10}\n{\"x\":20}\n");
}

TEST_F(ScriptPlay, RealEventsAreIgnoredWhileAScriptRuns) {
  load("0 key 1 up\n");
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.scancode = SDL_SCANCODE_SPACE;
  e.key.keysym.sym = SDLK_SPACE;
  SDL_PushEvent(&e);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  EXPECT_EQ(platform::key_hit(32), 0);
  EXPECT_EQ(platform::app_terminate(), 0);
  platform::move_mouse(7, 8);
  EXPECT_EQ(platform::mouse_x(), 7);
  EXPECT_EQ(platform::mouse_y(), 8);
}

}  // namespace
