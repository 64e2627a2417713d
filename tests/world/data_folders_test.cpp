#include "world/data_folders.h"

#include <gtest/gtest.h>

namespace {

FolderClues installed() {
  FolderClues clues;
  clues.executable_folder = "/opt/vermix/bin";
  clues.xdg_data_home = "/home/ann/.data";
  clues.home = "/home/ann";
  return clues;
}

TEST(DataFolders, DataDirWinsOverPortableAndInstalled) {
  FolderClues clues = installed();
  clues.portable = true;
  clues.data_dir = "/srv/games/vermix";
  const DataFolders f = choose_data_folders(clues);
  EXPECT_EQ(f.sounds, "/srv/games/vermix");
  EXPECT_EQ(f.saves, "/srv/games/vermix");
}

TEST(DataFolders, PortableKeepsEverythingInTheWorkingFoldersData) {
  FolderClues clues = installed();
  clues.portable = true;
  const DataFolders f = choose_data_folders(clues);
  EXPECT_EQ(f.sounds, "data");
  EXPECT_EQ(f.saves, "data");
}

TEST(DataFolders, InstalledSoundsBesideTheExecutableSavesUnderXdgDataHome) {
  const DataFolders f = choose_data_folders(installed());
  EXPECT_EQ(f.sounds, "/opt/vermix/share/vermix");
  EXPECT_EQ(f.saves, "/home/ann/.data/vermix");

  FolderClues at_root = installed();
  at_root.executable_folder = "/bin";
  at_root.xdg_data_home = "/home/ann/.data/";
  EXPECT_EQ(choose_data_folders(at_root).sounds, "/share/vermix");
  EXPECT_EQ(choose_data_folders(at_root).saves, "/home/ann/.data/vermix");
}

// A relative XDG_DATA_HOME is ignored, as the base directory rules say; with
// no home either, the saves stay in the working folder's data folder.
TEST(DataFolders, SavesFallBackToHomeThenToTheWorkingFolder) {
  FolderClues clues = installed();
  for (const char* unusable : {"", "relative/data"}) {
    clues.xdg_data_home = unusable;
    EXPECT_EQ(choose_data_folders(clues).saves, "/home/ann/.local/share/vermix")
        << "XDG_DATA_HOME='" << unusable << "'";
  }
  clues.home = "";
  EXPECT_EQ(choose_data_folders(clues).saves, "data");
}

// Windows: the saves go to the application-data folder whatever HOME says,
// and drive paths show as they are.
TEST(DataFolders, InstalledOnWindowsSavesInTheApplicationDataFolder) {
  FolderClues clues = installed();
  clues.executable_folder = "C:/Program Files/Vermix";
  clues.app_data = "C:/Users/ann/AppData/Roaming";
  const DataFolders f = choose_data_folders(clues);
  EXPECT_EQ(f.saves, "C:/Users/ann/AppData/Roaming/Vermix");
  EXPECT_EQ(where_text(f, "D:/games"),
            "layout:      installed\nsounds:      " + f.sounds +
                "\nsaved files: C:/Users/ann/AppData/Roaming/Vermix\n");
  // The installer's mark wins over a working folder with sounds: a shortcut
  // starts the game in its install folder.
  clues.portable = true;
  clues.installed_mark = true;
  EXPECT_STREQ(choose_data_folders(clues).layout, "installed");
  clues.installed_mark = false;
  EXPECT_STREQ(choose_data_folders(clues).layout, "portable");
}

TEST(DataFolders, WhereShowsRelativeFoldersUnderTheWorkingFolder) {
  EXPECT_EQ(where_text({"data", "/home/ann/.data/vermix", "installed"},
                       "/games/", "  "),
            "  layout:      installed\n"
            "  sounds:      /games/data\n"
            "  saved files: /home/ann/.data/vermix\n");
}

}  // namespace
