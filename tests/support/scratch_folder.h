// A folder of a test's own under the system's temporary folder, with a name
// no other test or test run can share, removed with everything in it when the
// object goes. The fuzz targets work in one too.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

class ScratchFolder {
 public:
  // The folder's name starts with `prefix`.
  explicit ScratchFolder(const std::string& prefix = "vermix-test");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return dir_; }
  // The host path of `name` inside the folder.
  std::string file(const std::string& name) const;

 private:
  std::filesystem::path dir_;
};

}  // namespace testing_support
