// Where the game reads its sounds and keeps hiscore.dat and anaglyph3d.dat.
//  - Portable: a working folder whose data folder holds the sound files keeps
//    everything there.
//  - Installed: sounds from the data folder installed beside the executable
//    (<prefix>/share/vermix for <prefix>/bin/vermix), saved files in
//    $XDG_DATA_HOME/vermix, else ~/.local/share/vermix; on Windows in the
//    user's application-data folder, Vermix in it.
//  - On Windows the installer leaves installed_mark beside vermix.exe: with
//    it the game is installed whatever the working folder holds (a shortcut
//    starts it in its own folder, whose data folder has the sounds, yet
//    Program Files is no place for saves); sounds from <exe folder>/data.
//  - --data-dir DIR: everything in DIR.
#pragma once

#include <string>

struct DataFolders {
  std::string sounds;  // game paths of the two folders
  std::string saves;
  const char* layout;  // "portable", "installed" or "--data-dir"
};

// The file the Windows installer writes beside the executable.
constexpr const char* installed_mark = "installed.txt";

// What the choice depends on, gathered from the machine.
struct FolderClues {
  std::string data_dir;         // --data-dir, "" when not given
  bool portable = false;        // the working folder's data/ has sounds
  bool installed_mark = false;  // installed_mark is beside the executable
  std::string executable_folder;
  std::string xdg_data_home;
  std::string home;
  std::string app_data;  // Windows' application-data folder, "" elsewhere
};

DataFolders choose_data_folders(const FolderClues& clues);
// Whether the game folder `folder` holds any of the sound files.
bool has_sound_files(const std::string& folder);
FolderClues gather_folder_clues(const std::string& data_dir);

// The folders in use; portable ("data") until set.
void use_data_folders(const DataFolders& folders);
const DataFolders& data_folders();

// Game paths of a sound (name without extension) and of a saved file.
std::string sound_file(const std::string& name);
std::string saved_file(const std::string& name);

// Three lines naming the layout and the folders, relative ones under
// `working_folder`, each line starting with `indent`.
std::string where_text(const DataFolders& folders,
                       const std::string& working_folder,
                       const std::string& indent = "");
