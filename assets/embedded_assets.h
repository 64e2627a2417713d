// The five files built into the executable.
#pragma once

#include <cstddef>

struct EmbeddedAsset {
  const char* name;  // as the game opens it after "incbin::"
  const unsigned char* bytes;
  std::size_t size;
};

extern const EmbeddedAsset embedded_assets[5];
