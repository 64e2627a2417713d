// make_art <folder>: writes the game's four pictures into the folder.
#include <cstdio>
#include <string>

#include "tools/assets/make-art/art.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_art <folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  struct Output {
    const char* name;
    art::Canvas (*make)();
  };
  const Output outputs[] = {
      {"vermix_01.png", art::make_sprite_sheet},
      {"vermix_bg.png", art::make_backdrop},
      {"dmpointer.png", art::make_pointer},
      {"qwlogo.png", art::make_studio_logo},
  };
  for (const Output& out : outputs) {
    const std::string path = folder + "/" + out.name;
    if (!out.make().write_png(path)) {
      std::fprintf(stderr, "make_art: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
