// The files carried inside the executable, opened as "incbin::" + name.
#include <map>

#include "platform/platform.h"
#include "platform/system/system.h"

namespace platform {

namespace {

struct EmbeddedBytes {
  const unsigned char* bytes;
  std::size_t size;
};

std::map<std::string, EmbeddedBytes>& registry() {
  static std::map<std::string, EmbeddedBytes> files;
  return files;
}

// Embedded names match whichever slash the caller writes.
std::string normalised(std::string name) {
  for (char& c : name) {
    if (c == '/') c = '\\';
  }
  return name;
}

}  // namespace

void register_embedded_file(const std::string& name, const unsigned char* bytes,
                            std::size_t size) {
  registry()[normalised(name)] = EmbeddedBytes{bytes, size};
}

namespace detail {

bool read_embedded(const std::string& path, std::vector<std::uint8_t>& out) {
  auto it = registry().find(normalised(path.substr(embedded_prefix.size())));
  if (it == registry().end()) return false;
  out.assign(it->second.bytes, it->second.bytes + it->second.size);
  return true;
}

}  // namespace detail
}  // namespace platform
