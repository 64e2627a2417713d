// The input script parser: what it accepts and the lines it refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/platform.h"
#include "replay/input_script.h"
#include "replay/replay.h"
#include "tests/support/scratch_folder.h"

namespace {

using replay::detail::parse_input_script;
using replay::detail::ScriptAction;
using replay::detail::ScriptEvent;

std::string refusal(const std::string& text) {
  std::vector<ScriptEvent> events;
  std::string error;
  EXPECT_FALSE(parse_input_script(text, "run.txt", events, error)) << text;
  return error;
}

TEST(ScriptParse, ReadsEveryEvent) {
  const std::string text =
      "# a comment\n"
      "\n"
      "0 key 162 down\r\n"
      "   # indented comment\n"
      "1 mouse -5 480\n"
      "1 button 3 up\n"
      "2 joy 1 connect\n"
      "2 joy 1 axis 1 -0.5\n"
      "2 joy 1 axis 0 7\n"
      "3 joy 1 button 16 down\n"
      "3 joy 0 disconnect\n"
      "4 focus lost\n"
      "4 focus gained\n"
      "5   screenshot   shots/a.png\n"
      "5 dump d.jsonl\n"
      "6 close\n"
      "9 end\n";
  std::vector<ScriptEvent> e;
  std::string error;
  ASSERT_TRUE(parse_input_script(text, "run.txt", e, error)) << error;
  ASSERT_EQ(e.size(), 14u);
  EXPECT_EQ(e[0].action, ScriptAction::key);
  EXPECT_EQ(e[0].code, 162);
  EXPECT_TRUE(e[0].down);
  EXPECT_EQ(e[1].action, ScriptAction::mouse);
  EXPECT_EQ(e[1].code, -5);
  EXPECT_EQ(e[1].index, 480);
  EXPECT_EQ(e[2].action, ScriptAction::mouse_button);
  EXPECT_FALSE(e[2].down);
  EXPECT_EQ(e[3].action, ScriptAction::joy_connect);
  EXPECT_EQ(e[4].action, ScriptAction::joy_axis);
  EXPECT_EQ(e[4].index, 1);
  EXPECT_EQ(e[4].value, -0.5f);
  EXPECT_EQ(e[5].value, 1.0f);  // clamped
  EXPECT_EQ(e[6].action, ScriptAction::joy_button);
  EXPECT_EQ(e[6].index, 16);
  EXPECT_EQ(e[7].action, ScriptAction::joy_disconnect);
  EXPECT_EQ(e[7].code, 0);
  EXPECT_EQ(e[8].action, ScriptAction::focus_lost);
  EXPECT_EQ(e[9].action, ScriptAction::focus_gained);
  EXPECT_EQ(e[10].action, ScriptAction::screenshot);
  EXPECT_EQ(e[10].path, "shots/a.png");
  EXPECT_EQ(e[11].action, ScriptAction::dump);
  EXPECT_EQ(e[12].action, ScriptAction::close);
  EXPECT_EQ(e[13].action, ScriptAction::end);
  EXPECT_EQ(e[13].tick, 9);
}

TEST(ScriptParse, RefusesBadLinesNamingFileAndLine) {
  struct Case {
    std::string line;
    std::string says;
  };
  const Case cases[] = {
      {"5 jump", "unknown event 'jump'"},
      {"5", "an event must follow the tick"},
      {"x key 27 down", "tick 'x' is not a whole number"},
      {"-1 close", "tick -1 is negative"},
      {"5 key 256 down", "key code 256 is outside 0..255"},
      {"5 key -1 down", "key code -1 is outside 0..255"},
      {"5 key 27", "expected 'T key CODE down|up'"},
      {"5 key 27 down now", "expected 'T key CODE down|up'"},
      {"5 key 27 pressed", "expected 'down' or 'up', not 'pressed'"},
      {"5 key 2x7 down", "key code '2x7' is not a whole number"},
      {"5 mouse 10", "expected 'T mouse X Y'"},
      {"5 mouse 10 1.5", "pointer y '1.5' is not a whole number"},
      {"5 button 0 down", "mouse button 0 is outside 1..3"},
      {"5 button 4 up", "mouse button 4 is outside 1..3"},
      {"5 joy 16 connect", "joystick port 16 is outside 0..15"},
      {"5 joy 0", "expected 'T joy P <event> ...'"},
      {"5 joy 0 wiggle", "unknown joystick event 'wiggle'"},
      {"5 joy 0 connect now", "expected 'T joy P connect|disconnect'"},
      {"5 joy 0 axis 2 1.0", "joystick axis 2 is outside 0..1"},
      {"5 joy 0 axis 0 left", "axis value 'left' is not a number"},
      {"5 joy 0 axis 0 nan", "axis value 'nan' is not a number"},
      {"5 joy 0 axis 0", "expected 'T joy P axis A V'"},
      {"5 joy 0 button 17 down", "joystick button 17 is outside 0..16"},
      {"5 focus away", "expected 'lost' or 'gained', not 'away'"},
      {"5 close now", "expected 'T close'"},
      {"5 end 1", "expected 'T end'"},
      {"5 dump", "expected 'T dump PATH'"},
      {"5 screenshot a b", "expected 'T screenshot PATH'"},
      {"99999999999999999999 end", "is not a whole number"},
  };
  for (const Case& c : cases) {
    const std::string error = refusal("# first\n0 close\n" + c.line + "\n");
    EXPECT_EQ(error.rfind("run.txt:3: ", 0), 0u) << error;
    EXPECT_NE(error.find(c.says), std::string::npos)
        << "line '" << c.line << "' gave: " << error;
  }
}

TEST(ScriptParse, EventsArePutInTickOrderKeepingFileOrderWithinATick) {
  std::vector<ScriptEvent> e;
  std::string error;
  ASSERT_TRUE(
      parse_input_script("5 key 1 down\n2 key 2 down\n5 key 3 down\n"
                         "2 key 4 down\n0 end\n",
                         "run.txt", e, error))
      << error;
  ASSERT_EQ(e.size(), 5u);
  const long ticks[] = {0, 2, 2, 5, 5};
  const int codes[] = {0, 2, 4, 1, 3};
  for (std::size_t i = 1; i < e.size(); ++i) {
    EXPECT_EQ(e[i].tick, ticks[i]) << i;
    EXPECT_EQ(e[i].code, codes[i]) << i;
  }
  EXPECT_EQ(e[0].action, ScriptAction::end);
}

TEST(ScriptParse, LoadRefusesMissingFileAndBadLineByPath) {
  std::string error;
  EXPECT_FALSE(replay::load_input_script("no/such/script.txt", error));
  EXPECT_EQ(error, "no/such/script.txt: cannot be read");
  EXPECT_FALSE(replay::script_active());

  const testing_support::ScratchFolder folder;
  const auto path = folder.path() / "bad_script.txt";
  std::ofstream(path) << "0 key 27 down\n1 key 27 sideways\n";
  EXPECT_FALSE(replay::load_input_script(path.string(), error));
  EXPECT_EQ(error,
            path.string() + ":2: expected 'down' or 'up', not 'sideways'");
  EXPECT_FALSE(replay::script_active());
}

}  // namespace
