// Mipmap levels made on the CPU the way the desktop build's GL (Mesa's
// llvmpipe) makes them with glGenerateMipmap. The browser's GL makes its
// levels another way, a step or more apart in the smaller ones; given these,
// it draws a smooth texture from the same levels as the desktop.
#pragma once

#include <cstdint>
#include <vector>

namespace platform::detail::renderer {

// The level below a width x height RGBA image: max(1, width / 2) by
// max(1, height / 2). Each texel blends the 2 x 2 block it covers, the two
// columns first and then the two rows, every blend of two 8-bit values taken
// at their midpoint rounded up, as the desktop GL's 8-bit filtering does.
// Sides that halve evenly (the font atlas's always do) give the desktop's
// levels exactly; an odd side is taken as if its last texel were repeated,
// which the desktop does not do.
std::vector<std::uint8_t> next_mip_level(const std::vector<std::uint8_t>& rgba,
                                         int width, int height);

}  // namespace platform::detail::renderer
