#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

using Action = CommandLine::Action;

TEST(CommandLine, OptionsCombine) {
  const CommandLine cl =
      parse_command_line({"--window", "--scale", "3", "--seed", "-42", "--fast",
                          "--script", "s.txt"});
  ASSERT_EQ(cl.action, Action::run) << cl.error;
  EXPECT_TRUE(cl.run.window);
  EXPECT_TRUE(cl.run.fast);
  EXPECT_EQ(cl.run.scale, 3);
  ASSERT_TRUE(cl.seed.has_value());
  EXPECT_EQ(*cl.seed, -42);
  EXPECT_EQ(cl.script, "s.txt");
}

TEST(CommandLine, NothingGivenMeansFullScreenClockSeedRealDevices) {
  const CommandLine cl = parse_command_line({});
  EXPECT_EQ(cl.action, Action::run);
  EXPECT_FALSE(cl.run.window);
  EXPECT_FALSE(cl.run.fast);
  EXPECT_EQ(cl.run.scale, 0);
  EXPECT_FALSE(cl.seed.has_value());
  EXPECT_TRUE(cl.script.empty());
}

TEST(CommandLine, SeedCoversTheWholeIntRange) {
  EXPECT_EQ(*parse_command_line({"--seed", "2147483647"}).seed, 2147483647);
  EXPECT_EQ(*parse_command_line({"--seed", "-2147483648"}).seed,
            -2147483647 - 1);
  EXPECT_EQ(parse_command_line({"--seed", "2147483648"}).action,
            Action::refuse);
}

TEST(CommandLine, BadValuesAreRefusedNamingTheOption) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--scale", "0"},
                                             {"--scale", "2x"},
                                             {"--scale", ""},
                                             {"--scale", "-1"},
                                             {"--seed", "1.5"},
                                             {"--seed", "abc"},
                                             {"--seed", " 7"}}) {
    const CommandLine cl = parse_command_line(args);
    EXPECT_EQ(cl.action, Action::refuse) << args[0] << " '" << args[1] << "'";
    EXPECT_NE(cl.error.find(args[0]), std::string::npos) << cl.error;
  }
}

TEST(CommandLine, MissingValueAndUnknownOptionsAreRefused) {
  for (const char* option : {"--scale", "--seed", "--script"}) {
    const CommandLine cl = parse_command_line({"--window", option});
    EXPECT_EQ(cl.action, Action::refuse) << option;
    EXPECT_NE(cl.error.find(option), std::string::npos) << cl.error;
  }
  for (const char* arg : {"--windowed", "-x", "game.txt", "--"}) {
    const CommandLine cl = parse_command_line({arg});
    EXPECT_EQ(cl.action, Action::refuse) << arg;
    EXPECT_NE(cl.error.find(arg), std::string::npos) << cl.error;
  }
}

TEST(CommandLine, HelpAndVersionWinOverWhatFollows) {
  EXPECT_EQ(parse_command_line({"--help", "--bogus"}).action, Action::help);
  EXPECT_EQ(parse_command_line({"--window", "--version", "--scale"}).action,
            Action::version);
  // But an error before them is still an error.
  EXPECT_EQ(parse_command_line({"--bogus", "--help"}).action, Action::refuse);
}

TEST(CommandLine, UsageDocumentsEveryOption) {
  const std::string usage = usage_text();
  for (const char* option : {"--window", "--scale", "--seed", "--fast",
                             "--script", "--help", "--version"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
}

}  // namespace

namespace {

TEST(CommandLine, ReplayOptionsTakeTheirValuesOrAreRefused) {
  const CommandLine cl = parse_command_line(
      {"--record", "r.replay", "--dump-every", "5", "d.jsonl", "--fast"});
  ASSERT_EQ(cl.action, Action::run) << cl.error;
  EXPECT_EQ(cl.record, "r.replay");
  EXPECT_EQ(cl.dump_every, 5);
  EXPECT_EQ(cl.dump_file, "d.jsonl");
  EXPECT_TRUE(cl.run.fast) << "the option after --dump-every's two values";
  EXPECT_EQ(parse_command_line({"--timedemo", "t.replay"}).timedemo,
            "t.replay");
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--record"},
        {"--record", ""},
        {"--dump-every", "5"},
        {"--dump-every", "0", "d"},
        {"--dump-every", "x", "d"},
        {"--timedemo", "t", "--script", "s"}}) {
    EXPECT_EQ(parse_command_line(bad).action, Action::refuse) << bad[0];
  }
}

}  // namespace
