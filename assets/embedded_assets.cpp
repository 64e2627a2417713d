// Pulls the asset files into the read-only data of the executable with the
// assembler's .incbin, so no generated source is needed.
#include "assets/embedded_assets.h"

// The assembler lines read best one to a line.
// clang-format off
#if defined(__wasm__)
// WebAssembly's assembler wants a data section of its own for each blob,
// named in its own syntax, each symbol's type and size, and has no .previous.
#define VERMIX_INCBIN(symbol, file)                                    \
  asm(".section .rodata." #symbol ",\"\",@\n"                          \
      ".p2align 4\n"                                                   \
      ".globl " #symbol "_start\n"                                     \
      ".type " #symbol "_start,@object\n" #symbol "_start:\n"          \
      ".incbin \"" VERMIX_ASSET_DIR "/" file "\"\n"                    \
      ".globl " #symbol "_end\n"                                       \
      ".type " #symbol "_end,@object\n" #symbol "_end:\n"              \
      ".byte 0\n"                                                      \
      ".size " #symbol "_start, " #symbol "_end - " #symbol "_start\n" \
      ".size " #symbol "_end, 1\n"                                     \
      ".text\n");                                                      \
  extern "C" const unsigned char symbol##_start[];                     \
  extern "C" const unsigned char symbol##_end[];
#else
// Windows' object files have their read-only data in .rdata and no .previous:
// the compiler names the section of everything it writes after, so .text is a
// safe return.
#ifdef _WIN32
#define VERMIX_RODATA ".section .rdata,\"dr\"\n"
#define VERMIX_PREVIOUS ".text\n"
#else
#define VERMIX_RODATA ".section .rodata\n"
#define VERMIX_PREVIOUS ".previous\n"
#endif
#define VERMIX_INCBIN(symbol, file)                                  \
  asm(VERMIX_RODATA                                                  \
      ".balign 16\n"                                                 \
      ".global " #symbol "_start\n" #symbol "_start:\n"              \
      ".incbin \"" VERMIX_ASSET_DIR "/" file "\"\n"                  \
      ".global " #symbol "_end\n" #symbol "_end:\n"                  \
      ".byte 0\n"                                                    \
      VERMIX_PREVIOUS);                                              \
  extern "C" const unsigned char symbol##_start[];                   \
  extern "C" const unsigned char symbol##_end[];
#endif

VERMIX_INCBIN(vermix_asset_logo, "graphx/qwlogo.png")
VERMIX_INCBIN(vermix_asset_font, "fonts/joystix.ttf")
VERMIX_INCBIN(vermix_asset_pointer, "graphx/dmpointer.png")
VERMIX_INCBIN(vermix_asset_backdrop, "graphx/vermix_bg.png")
VERMIX_INCBIN(vermix_asset_sheet, "graphx/vermix_01.png")

#define VERMIX_ASSET(name, symbol) \
  {name, symbol##_start,           \
   static_cast<std::size_t>(symbol##_end - symbol##_start)}
// clang-format on

const EmbeddedAsset embedded_assets[5] = {
    VERMIX_ASSET("graphx\\qwlogo.png", vermix_asset_logo),
    VERMIX_ASSET("fonts\\joystix.ttf", vermix_asset_font),
    VERMIX_ASSET("graphx\\dmpointer.png", vermix_asset_pointer),
    VERMIX_ASSET("graphx\\vermix_bg.png", vermix_asset_backdrop),
    VERMIX_ASSET("graphx\\vermix_01.png", vermix_asset_sheet),
};
