#include "world/data_folders.h"

#include "platform/platform.h"
#include "world/sound_names.h"

namespace {

const char* const portable_folder = "data";

DataFolders in_use = {portable_folder, portable_folder, "portable"};

// `folder` joined with a relative path, each leading "../" of which takes
// one name off the end of `folder`.
std::string join(std::string folder, std::string relative) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  while (relative.rfind("../", 0) == 0) {
    const std::size_t slash = folder.rfind('/');
    if (slash == std::string::npos || folder == "/") break;
    folder = slash == 0 ? "/" : folder.substr(0, slash);
    relative.erase(0, 3);
  }
  if (folder.back() != '/') folder += '/';
  return folder + relative;
}

// A host path from the root: "/..." or, on Windows, "C:/...".
bool absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return true;
  return path.size() > 2 && path[1] == ':' && path[2] == '/';
}

}  // namespace

DataFolders choose_data_folders(const FolderClues& clues) {
  if (!clues.data_dir.empty())
    return {clues.data_dir, clues.data_dir, "--data-dir"};
  if (clues.portable && !clues.installed_mark)
    return {portable_folder, portable_folder, "portable"};
  DataFolders folders{"", "", "installed"};
  folders.sounds = clues.executable_folder.empty()
                       ? portable_folder
                       : join(clues.executable_folder, VERMIX_INSTALLED_DATA);
  // Relative values of XDG_DATA_HOME are to be ignored.
  if (!clues.app_data.empty()) {
    folders.saves = join(clues.app_data, "Vermix");
  } else if (!clues.xdg_data_home.empty() && clues.xdg_data_home[0] == '/') {
    folders.saves = join(clues.xdg_data_home, "vermix");
  } else if (!clues.home.empty()) {
    folders.saves = join(clues.home, ".local/share/vermix");
  } else {
    folders.saves = portable_folder;
  }
  return folders;
}

FolderClues gather_folder_clues(const std::string& data_dir) {
  FolderClues clues;
  clues.data_dir = data_dir;
  clues.portable = has_sound_files(portable_folder);
  clues.executable_folder = platform::executable_folder();
#ifdef _WIN32
  clues.installed_mark =
      !clues.executable_folder.empty() &&
      platform::file_type(join(clues.executable_folder, installed_mark)) == 1;
#endif
  clues.xdg_data_home = platform::environment_value("XDG_DATA_HOME");
  clues.home = platform::environment_value("HOME");
  clues.app_data = platform::application_data_folder();
  return clues;
}

void use_data_folders(const DataFolders& folders) { in_use = folders; }
const DataFolders& data_folders() { return in_use; }

bool has_sound_files(const std::string& folder) {
  const std::string prefix = folder + "\\";
  auto here = [&](std::string_view name) {
    return platform::file_type(prefix + std::string(name) + ".ogg") == 1;
  };
  if (here(music_name)) return true;
  for (std::string_view name : effect_names) {
    if (here(name)) return true;
  }
  return false;
}

std::string sound_file(const std::string& name) {
  return in_use.sounds + "\\" + name + ".ogg";
}

std::string saved_file(const std::string& name) {
  return in_use.saves + "\\" + name;
}

std::string where_text(const DataFolders& folders,
                       const std::string& working_folder,
                       const std::string& indent) {
  auto shown = [&](const std::string& folder) {
    return absolute(folder) ? folder : join(working_folder, folder);
  };
  return indent + "layout:      " + folders.layout + "\n" + indent +
         "sounds:      " + shown(folders.sounds) + "\n" + indent +
         "saved files: " + shown(folders.saves) + "\n";
}
