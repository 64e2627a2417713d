#include "tests/support/scratch_folder.h"

#include <stdlib.h>

#include <stdexcept>
#include <system_error>

namespace testing_support {

ScratchFolder::ScratchFolder(const std::string& prefix) {
  std::string templ =
      (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (!mkdtemp(templ.data())) {
    throw std::system_error(errno, std::generic_category(), "mkdtemp");
  }
  dir_ = templ;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string ScratchFolder::file(const std::string& name) const {
  return (dir_ / name).string();
}

}  // namespace testing_support
