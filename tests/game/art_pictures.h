// Reads the committed pictures for the art tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Picture {
  int width = 0;
  int height = 0;
  bool had_alpha = false;
  std::vector<std::uint8_t> rgba;

  const std::uint8_t* at(int x, int y) const {
    return rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
  }
  bool black(int x, int y) const {
    const std::uint8_t* p = at(x, y);
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
  }
  bool white(int x, int y) const {
    const std::uint8_t* p = at(x, y);
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
  }
};

// Decodes a PNG file; fails the calling test (and returns an empty picture)
// if it cannot.
Picture read_picture(const std::string& path);

// A committed picture by its name under assets/graphx.
Picture committed_picture(const std::string& name);

// The 10 x 10 sprite frame i of the sheet as ten rows of '#' (lit) and '.'.
std::vector<std::string> small_frame_mask(const Picture& sheet, int frame);
