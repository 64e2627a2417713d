// The replay lines: what the reader takes and refuses, and events written
// by the recorder reading back as the same events.
#include "replay/replay_file.h"

#include <gtest/gtest.h>

#include "replay/input_script.h"
#include "replay/internal.h"

namespace {

using namespace replay::detail;

const std::string head = "#! vermix-replay 1\n#! game 1.0.0\n";

TEST(ReplayFile, ReadsSettingsChecksAndTheClosingLine) {
  ReplayMeta meta;
  std::string error;
  ASSERT_TRUE(parse_replay_meta(
      head + "#! setting seed 9\n3 key 27 down\n#! check 60 a=0000000f\n"
             "75 end\n#! end 75 a=00000010 b=ffffffff\n",
      "r", meta, error))
      << error;
  EXPECT_EQ(meta.settings.at("seed"), "9");
  ASSERT_EQ(meta.checks.size(), 1u);
  EXPECT_EQ(meta.checks[0].fields[0].second, 15u);
  ASSERT_TRUE(meta.closing);
  EXPECT_EQ(meta.closing->fields[1].second, 0xffffffffu);
  EXPECT_EQ(meta.last_tick, 75);
}

TEST(ReplayFile, RefusesDamagedLinesNamingThem) {
  for (const std::string& text : std::vector<std::string>{
           "#! game 1.0.0\n" + head,           // header not first
           "#! vermix-replay 7\n",             // another format
           head + "#! check 60 a=123\n",       // short hash
           head + "#! check 60 a=0000000g\n",  // not hex
           head + "#! check 120 a=00000001\n#! check 60 a=00000001\n",
           head + "#! end 5 a=00000001\n6 end\n",  // event after the end
           head + "#! end 5 a=00000001\n#! setting x 1\n",
           head + "#! frobnicate\n",
           // settings no game could have recorded, on line 3
           head + "#! setting seed 99999999999999999999\n",
           head + "#! setting seed 12x\n",
           head + "#! setting high-score 99999999999\n",
           head + "#! setting stereo-mode 77\n",
           head + "#! setting stereo-mode -1\n",
           head + "#! setting hologram 2147483648\n",
       }) {
    ReplayMeta meta;
    std::string error;
    EXPECT_FALSE(parse_replay_meta(text, "r", meta, error)) << text;
    EXPECT_EQ(error.rfind("r:", 0), 0u) << error;
    if (text.find("setting") < text.find("#! end")) {
      EXPECT_EQ(error.rfind("r:3: the setting ", 0), 0u) << error;
    }
  }
  // The edges of what a game records are taken.
  ReplayMeta meta;
  std::string error;
  EXPECT_TRUE(parse_replay_meta(
      head + "#! setting seed -2147483648\n#! setting stereo-mode 4\n"
             "#! setting high-score 2147483647\n#! setting hologram 0\n",
      "r", meta, error))
      << error;
}

TEST(ReplayFile, FirstDifferenceNamesTheEarliestField) {
  const StateCheck recorded{60, {{"a", 1}, {"b", 2}, {"c", 3}}};
  EXPECT_EQ(first_difference(recorded, recorded), "");
  EXPECT_EQ(first_difference(recorded, {60, {{"a", 1}, {"b", 9}, {"c", 9}}}),
            "b");
  EXPECT_EQ(first_difference(recorded, {60, {{"a", 1}, {"c", 3}}}), "b");
  const StateCheck parsed = [&] {
    ReplayMeta meta;
    std::string error;
    parse_replay_meta(head + format_check_line("check", recorded) + "\n", "r",
                      meta, error);
    return meta.checks.at(0);
  }();
  EXPECT_EQ(first_difference(recorded, parsed), "");
}

TEST(ReplayFile, WrittenEventsReadBackTheSame) {
  std::vector<ScriptEvent> events;
  std::string error;
  ASSERT_TRUE(parse_input_script(
      "1 key 65 down\n2 mouse 639 0\n3 button 2 up\n4 joy 3 connect\n"
      "5 joy 3 axis 1 -0.123456791\n6 joy 3 button 16 down\n"
      "7 focus lost\n8 close\n9 end\n",
      "s", events, error));
  events.push_back({10, ScriptAction::joy_axis, 1, 0, false, 1.0f / 3.0f, ""});
  std::string text;
  for (const ScriptEvent& e : events) text += format_script_event(e) + "\n";
  std::vector<ScriptEvent> again;
  ASSERT_TRUE(parse_input_script(text, "s", again, error)) << error;
  ASSERT_EQ(again.size(), events.size());
  for (std::size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(format_script_event(again[i]), format_script_event(events[i]));
    EXPECT_EQ(again[i].value, events[i].value) << "axis readings exactly";
  }
}

}  // namespace

namespace {

// The timedemo's figures: order statistics from the sorted times, the
// slowest frame counted in the order shown, and frames a 60 Hz display
// would have had to show twice.
TEST(TimedemoFigures, FromFrameTimesInTheOrderShown) {
  const replay::detail::FrameFigures f =
      replay::detail::figures_of({10.0, 40.0, 5.0, 17.0, 16.6});
  EXPECT_EQ(f.frames, 5);
  EXPECT_EQ(f.slowest_frame, 2);
  EXPECT_EQ(f.frames_over_60hz, 2);  // 40 and 17; 16.6 fits
  EXPECT_DOUBLE_EQ(f.max_ms, 40.0);
  EXPECT_DOUBLE_EQ(f.median_ms, 16.6);
  EXPECT_DOUBLE_EQ(f.mean_ms, 88.6 / 5);
  EXPECT_NEAR(f.fps, 5000.0 / 88.6, 1e-9);

  EXPECT_EQ(replay::detail::figures_of({}).frames, 0);
  const auto one = replay::detail::figures_of({3.0});
  EXPECT_EQ(one.slowest_frame, 1);
  EXPECT_DOUBLE_EQ(one.p99_ms, 3.0);
}

}  // namespace
