#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <set>

#include "app/man_page.h"
#include "app/option_table.h"

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

// The parser, --help and the man page are all made from the option table:
// every row is taken by the parser and shown in both texts, and no text
// names an option the table does not have.
TEST(OptionTable, ParserHelpAndManPageAgree) {
  std::set<std::string> names;
  for (const OptionRow& row : option_table()) {
    names.insert(row.name);
    std::vector<std::string> args = {row.name};
    // One value per word of the row's value ("N FILE" takes two); a code
    // where the row asks for one.
    for (const char* w = row.value; w; w = std::strchr(w + 1, ' ')) {
      args.push_back(std::string(row.name) == "--watch" ? "ABCD2345" : "1");
    }
    const CommandLine cl = parse_command_line(args);
    EXPECT_NE(cl.action, Action::refuse) << row.name << ": " << cl.error;
    if (row.value && row.value[0] != '[') {
      EXPECT_EQ(parse_command_line({row.name}).action, Action::refuse)
          << row.name << " without its value";
    }
  }
  // The man page writes "--" as "\-\-".
  std::string man = man_page();
  for (std::size_t at; (at = man.find("\\-")) != std::string::npos;)
    man.replace(at, 2, "-");
  for (const std::string& text : {usage_text(), man}) {
    std::set<std::string> shown;
    const std::regex option("--[a-z][a-z-]*");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
         it != std::sregex_iterator(); ++it) {
      shown.insert(it->str());
    }
    EXPECT_EQ(shown, names) << text;
  }
}

TEST(CommandLine, WhereAndDataDirTakeEachOtherInAnyOrder) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--where", "--data-dir", "d"},
                                             {"--data-dir", "d", "--where"}}) {
    const CommandLine cl = parse_command_line(args);
    EXPECT_EQ(cl.action, Action::where) << cl.error;
    EXPECT_EQ(cl.data_dir, "d");
  }
  EXPECT_EQ(parse_command_line({"--data-dir", ""}).action, Action::refuse);
}

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
  EXPECT_EQ(parse_command_line({"--timedemo", "t", "--repeat", "1000"}).repeat,
            1000);
  EXPECT_EQ(parse_command_line({"--script", "s", "--synctest", "8"}).synctest,
            8);
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--record"},
        {"--record", ""},
        {"--dump-every", "5"},
        {"--dump-every", "0", "d"},
        {"--dump-every", "x", "d"},
        {"--timedemo", "t", "--script", "s"},
        {"--timedemo", "t", "--repeat", "0"},
        {"--timedemo", "t", "--repeat", "1001"},
        {"--repeat", "2"},
        {"--timedemo", "t", "--repeat", "2", "--record", "r"},
        {"--script", "s", "--synctest", "0"},
        {"--script", "s", "--synctest", "9"}}) {
    EXPECT_EQ(parse_command_line(bad).action, Action::refuse) << bad[0];
  }
}

// A value in brackets may be left out: the next word is it unless it is an
// option; a bad one is refused as any bad value is. Without a port the
// host asks the server for a room; a --join value that reads as an invite
// code is one, anything else an address.
TEST(CommandLine, OnlineOptions) {
  CommandLine cl = parse_command_line({"--host", "--window"});
  EXPECT_EQ(cl.online, CommandLine::Online::host_room);
  EXPECT_EQ(cl.server, "");  // online.cfg's, or the studio's
  EXPECT_TRUE(cl.run.window);
  cl = parse_command_line({"--host", "5000", "--input-delay", "0"});
  EXPECT_EQ(cl.online, CommandLine::Online::host);
  EXPECT_EQ(cl.host_port, 5000);
  EXPECT_EQ(cl.input_delay, 0);
  EXPECT_EQ(parse_command_line({"--host", "70000"}).action, Action::refuse);
  EXPECT_EQ(parse_command_line({"--input-delay", "9"}).action, Action::refuse);
  cl = parse_command_line({"--join", "[::1]:5000"});
  EXPECT_EQ(cl.online, CommandLine::Online::join);
  EXPECT_EQ(cl.join, "[::1]:5000");
  for (const char* typed : {"ABCD-EFGH", "abcd efgh", "AbCdEfGh"}) {
    cl = parse_command_line({"--join", typed, "--server", "127.0.0.1:9"});
    EXPECT_EQ(cl.online, CommandLine::Online::join_room) << typed;
    EXPECT_EQ(cl.join, "ABCDEFGH") << typed;
    EXPECT_EQ(cl.server, "127.0.0.1:9");
  }
  // Look-alikes (0, O, 1, I, L), two dashes and seven symbols are no code.
  for (const char* address : {"ABCD-EFG0", "AB-CD-EFGH", "ABCDEFG", "host"}) {
    EXPECT_EQ(parse_command_line({"--join", address}).online,
              CommandLine::Online::join)
        << address;
    EXPECT_EQ(parse_command_line({"--watch", address}).action, Action::refuse)
        << address;
  }
  cl = parse_command_line({"--watch", "wxyz-2345"});
  EXPECT_EQ(cl.online, CommandLine::Online::watch);
  EXPECT_EQ(cl.join, "WXYZ2345");
  EXPECT_EQ(parse_command_line({"--host", "--timedemo", "x"}).action,
            Action::refuse);
}

// A link is read as the option it names with its code as on the wire,
// among other options too; whatever that option makes of the code.
TEST(CommandLine, InviteLinksStandForJoinAndWatch) {
  const auto same = [](const std::vector<std::string>& by_link,
                       const std::vector<std::string>& by_option) {
    const CommandLine a = parse_command_line(by_link);
    const CommandLine b = parse_command_line(by_option);
    EXPECT_EQ(a.action, b.action) << by_link[0];
    EXPECT_EQ(a.error, b.error) << by_link[0];
    EXPECT_EQ(a.online, b.online) << by_link[0];
    EXPECT_EQ(a.join, b.join) << by_link[0];
    EXPECT_EQ(a.run.window, b.run.window) << by_link[0];
  };
  same({"vermix://join/ABCD-EFGH"}, {"--join", "ABCDEFGH"});
  same({"VERMIX://Join/abcdefgh"}, {"--join", "ABCDEFGH"});
  same({"--window", "vermix://join/xyz23456"},
       {"--window", "--join", "XYZ23456"});
  same({"vermix://watch/ABCD-EFGH"}, {"--watch", "ABCDEFGH"});
  EXPECT_EQ(parse_command_line({"vermix://join/ABCD-EFGH"}).join, "ABCDEFGH");
}

// Anything else that starts with the scheme is refused, naming the forms: a
// clicked link never names a host, a file or an option of its own.
TEST(CommandLine, AnythingElseOfTheSchemeIsRefused) {
  for (const char* bad :
       {"vermix://join/ABCD-EFG0", "vermix://join/ABCDEFGI",
        "vermix://join/ABCDEFGHJ", "vermix://join/ABCDEFG", "vermix://join/",
        "vermix://join/ABCDEFGH/", "vermix://join/AB-CDEFGH",
        "vermix://join/ABCD--EFGH", "vermix://join/ABCD EFGH",
        "vermix://join/example.org", "vermix://join/ABCDEFGH?x=1",
        "vermix://play/ABCDEFGH", "vermix://host/ABCDEFGH",
        "vermix:join/ABCDEFGH", "vermix:///join/ABCDEFGH",
        "vermix://joinABCDEFGH", "vermix:"}) {
    const CommandLine cl = parse_command_line({bad});
    EXPECT_EQ(cl.action, Action::refuse) << bad;
    EXPECT_NE(cl.error.find("is not an invite link"), std::string::npos)
        << bad << ": " << cl.error;
  }
}

}  // namespace
