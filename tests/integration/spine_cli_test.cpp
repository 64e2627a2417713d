// What the executable says and returns before any game runs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "tests/integration/game_run.h"

namespace {

using testing_support::GameFolder;

TEST(SpineCli, HelpAndVersion) {
  GameFolder game(false);
  const auto help = game.run_raw({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("--script FILE"), std::string::npos) << help.out;
  const auto version = game.run_raw({"--version"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_NE(version.out.find(VERMIX_VERSION), std::string::npos) << version.out;
  EXPECT_FALSE(game.exists("data/hiscore.dat")) << "no game should have run";
}

TEST(SpineCli, BadOptionsExitWithStatus2NamingThem) {
  struct Case {
    std::vector<std::string> args;
    std::string named;
  };
  GameFolder game(false);
  for (const Case& c :
       {Case{{"--bogus"}, "--bogus"}, Case{{"--scale", "zero"}, "--scale"},
        Case{{"--seed"}, "--seed"},
        Case{{"--window", "--seed", "x1"}, "--seed"},
        Case{{"--scale", "-1"}, "--scale"}, Case{{"--scale", "0"}, "--scale"},
        Case{{"--scale", "17"}, "--scale"},
        Case{{"--scale", "99999999999999999999"}, "--scale"},
        Case{{"--seed", "99999999999"}, "--seed"},
        Case{{"--seed", "-2147483649"}, "--seed"},
        Case{{"--seed", "+5"}, "--seed"}, Case{{"--seed", " 5"}, "--seed"},
        Case{{"--script", ""}, "--script"}, Case{{"-x"}, "-x"},
        Case{{"--fast", "--window", "extra"}, "extra"}}) {
    const auto r = game.run_raw(c.args);
    EXPECT_EQ(r.exit_code, 2) << c.named;
    EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
  }
  EXPECT_FALSE(game.exists("data/hiscore.dat"));
}

TEST(SpineCli, BadScriptLineIsRefusedBeforeTheDisplayOpens) {
  GameFolder game(false);
  const auto r = game.run("# fine\n5 key 27 down\n7 jump 3\n9 end\n");
  EXPECT_EQ(r.exit_code, 2) << r.err;
  EXPECT_NE(r.err.find("script.txt:3"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("jump"), std::string::npos) << r.err;
  EXPECT_FALSE(game.exists("data/hiscore.dat"));

  const auto missing =
      game.run_raw({"--window", "--script", "no-such-script.txt"});
  EXPECT_EQ(missing.exit_code, 2) << missing.err;
  EXPECT_NE(missing.err.find("no-such-script.txt"), std::string::npos)
      << missing.err;
}

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value, 1);
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SpineCli, DisplayThatCannotOpenGivesStatus1AndAMessage) {
  ScopedEnv driver("SDL_VIDEODRIVER", "nonexistent");
  GameFolder game(false);
  const auto r = game.run("5 end\n");
  EXPECT_EQ(r.exit_code, 1) << r.err;
  EXPECT_NE(r.err.find("display could not be opened"), std::string::npos)
      << r.err;
  EXPECT_FALSE(game.exists("data/hiscore.dat"));
}

}  // namespace
