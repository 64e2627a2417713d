#include "app/online_settings.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/scratch_folder.h"
#include "world/data_folders.h"

namespace {

OnlineSettings parsed(std::string_view text, std::vector<std::string>& faults) {
  faults.clear();
  return parse_online_settings(text, faults);
}

TEST(OnlineSettings, AFileSetsWhatItNamesAndTheRestKeepsItsDefault) {
  std::vector<std::string> faults;
  const OnlineSettings none = parsed("", faults);
  EXPECT_EQ(none.server, "play.vermix.org:4762");
  EXPECT_EQ(none.name, "");
  EXPECT_FALSE(none.online_scores);

  // Comments, blank lines, spaces round the parts, Windows line ends and a
  // last line without one.
  const OnlineSettings s = parsed(
      "# mine\r\n\r\n  server=rooms.example.org:5000  \r\n"
      "\tname =  Ada Lovelace   # after a space, a comment\n"
      "online-scores = yes",
      faults);
  EXPECT_TRUE(faults.empty()) << faults.front();
  EXPECT_EQ(s.server, "rooms.example.org:5000");
  EXPECT_EQ(s.name, "Ada Lovelace");
  EXPECT_TRUE(s.online_scores);
  EXPECT_EQ(parsed("server = [::1]:4762", faults).server, "[::1]:4762");
  EXPECT_EQ(parsed("name = 12345678901234567890", faults).name.size(), 20u);
  EXPECT_TRUE(faults.empty());
}

// Each bad line is skipped with its number and why; the good lines around
// it still count, and a repeated key keeps its first value.
TEST(OnlineSettings, BadLinesAreNamedAndSkipped) {
  std::vector<std::string> faults;
  const OnlineSettings s = parsed(
      "name = Bob\n"
      "just words\n"
      "colour = red\n"
      "name = Carol\n"
      "online-scores = maybe\n"
      "server =\n"
      "server = a host\n"
      "name = 123456789012345678901\n"
      "name = Zo\xc3\xab\n"
      "= yes\n"
      "online-scores = no\n",
      faults);
  EXPECT_EQ(s.name, "Bob");
  EXPECT_EQ(s.server, "play.vermix.org:4762");
  EXPECT_FALSE(s.online_scores);
  const std::vector<std::string> lines = {
      "line 2: ", "line 3: ", "line 4: ", "line 5: ", "line 6: ",
      "line 7: ", "line 8: ", "line 9: ", "line 10: "};
  ASSERT_EQ(faults.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i)
    EXPECT_EQ(faults[i].rfind(lines[i], 0), 0u) << faults[i];
  EXPECT_NE(faults[1].find("\"colour\""), std::string::npos) << faults[1];
  EXPECT_NE(faults[2].find("set on line 1"), std::string::npos) << faults[2];
  // The online-scores line after the bad one still sets the key.
  EXPECT_EQ(parsed("online-scores = maybe\nonline-scores = yes", faults)
                .online_scores,
            true);
}

// Native builds have the UDP link, and the check of its address.
TEST(OnlineSettings, TheServerIsCheckedAsTheCommandLineChecksAnAddress) {
  std::vector<std::string> faults;
  for (const char* bad : {"host:0", "host:65536", "host:", "[::1", ":4762"}) {
    parsed(std::string("server = ") + bad, faults);
    EXPECT_EQ(faults.size(), 1u) << bad;
  }
}

// The file beside the saved files, as the game reads it once: its faults
// named on stderr with the file's name.
TEST(OnlineSettings, TheGameReadsTheFileBesideTheSavedFiles) {
  const testing_support::ScratchFolder folder;
  std::ofstream(folder.file("online.cfg"))
      << "server = 127.0.0.1:4999\nname = Tester\nnoise\n";
  use_data_folders({folder.path().string(), folder.path().string(), "test"});
  testing::internal::CaptureStderr();
  const OnlineSettings& s = online_settings();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(s.server, "127.0.0.1:4999");
  EXPECT_EQ(s.name, "Tester");
  EXPECT_EQ(said,
            "vermix: online.cfg line 3: not a setting of the form key = "
            "value; skipped\n");
  EXPECT_EQ(&online_settings(), &s);
  use_data_folders({"data", "data", "portable"});
}

}  // namespace
