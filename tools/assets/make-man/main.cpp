// make_man <file>: writes the game's manual page, made from its option table.
#include <cstdio>
#include <fstream>

#include "app/man_page.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_man <file>\n");
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary);
  out << man_page();
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_man: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
