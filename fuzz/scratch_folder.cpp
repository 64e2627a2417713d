#include "fuzz/scratch_folder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/scratch_folder.h"

namespace fs = std::filesystem;

namespace fuzzing {
namespace {

// Made and entered once; removed when the fuzzer exits.
struct Scratch {
  testing_support::ScratchFolder folder{"vermix-fuzz"};
  Scratch() {
    if (::chdir(folder.path().c_str()) != 0) {
      std::perror("vermix fuzz: scratch folder");
      std::abort();
    }
  }
};

}  // namespace

void enter_scratch_folder() { static const Scratch scratch; }

void put_file(const std::string& rel, const std::uint8_t* data,
              std::size_t size) {
  enter_scratch_folder();
  const fs::path path(rel);
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data),
            static_cast<std::streamsize>(size));
  if (!out.flush()) std::abort();
}

int le32_at(const std::uint8_t* data, std::size_t size, std::size_t offset) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    if (offset + i < size) v |= std::uint32_t{data[offset + i]} << (8 * i);
  }
  return static_cast<int>(v);
}

}  // namespace fuzzing
