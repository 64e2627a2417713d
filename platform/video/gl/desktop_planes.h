// The texture-coordinate planes the desktop build's GL (Mesa's llvmpipe)
// sets up for the two triangles of a quad, float step for float step, so
// that the browser can interpolate a smooth texture's coordinates to the
// same bits and take the same level of detail.
#pragma once

#include "platform/video/gl/renderer.h"

namespace platform::detail::renderer {

// For u and then v: d/dx, d/dy and the value at pixel (0, 0) over the draw
// buffer's pixels (x right, y up, whole numbers at pixel corners), as the
// desktop GL interpolates them: fma(d/dy, y, fma(d/dx, x, value)).
struct TrianglePlanes {
  float u[3] = {};
  float v[3] = {};
};

// The planes of the triangles (corners 0, 1, 2) and (0, 2, 3) of the quad
// whose four corners, in drawing order, start at `quad`, in a draw buffer of
// width x height pixels.
void desktop_planes(const Vertex* quad, int width, int height,
                    TrianglePlanes& first, TrianglePlanes& second);

}  // namespace platform::detail::renderer
