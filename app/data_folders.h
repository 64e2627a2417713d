// Where the game reads its sounds and keeps hiscore.dat and anaglyph3d.dat.
//  - Portable: a working folder whose data folder holds the sound files keeps
//    everything there.
//  - Installed: sounds from the data folder installed beside the executable
//    (<prefix>/share/vermix for <prefix>/bin/vermix), saved files in
//    $XDG_DATA_HOME/vermix, else ~/.local/share/vermix; on Windows in the
//    user's application-data folder, Vermix in it.
//  - --data-dir DIR: everything in DIR.
#pragma once

#include <string>

struct DataFolders {
  std::string sounds;  // game paths of the two folders
  std::string saves;
};

// What the choice depends on, gathered from the machine.
struct FolderClues {
  std::string data_dir;   // --data-dir, "" when not given
  bool portable = false;  // the working folder's data/ has sounds
  std::string executable_folder;
  std::string xdg_data_home;
  std::string home;
  std::string app_data;  // Windows' application-data folder, "" elsewhere
};

DataFolders choose_data_folders(const FolderClues& clues);
FolderClues gather_folder_clues(const std::string& data_dir);

// The folders in use; portable ("data") until set.
void use_data_folders(const DataFolders& folders);
const DataFolders& data_folders();

// Game paths of a sound (name without extension) and of a saved file.
std::string sound_file(const std::string& name);
std::string saved_file(const std::string& name);

// Two lines naming the folders, relative ones under `working_folder`, each
// line starting with `indent`.
std::string where_text(const DataFolders& folders,
                       const std::string& working_folder,
                       const std::string& indent = "");
