// The GL side of drawing: two off-screen colour buffers that trade places at
// every present (one is drawn into, the other holds the frame as last
// presented), a cached static layer, and a batch of textured, coloured quads
// that goes to GL in as few draw calls as possible. The only header of
// platform/video/gl/ that the rest of video/ includes; its parts are the
// programs, the quad batch, textures, frames (buffers, present, read-back)
// and the static layer, sharing gl_state.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform::detail::renderer {

// A texture the renderer owns. `generation` ties it to the GL context it was
// made in; a texture from an older context is made again before use.
struct Texture {
  unsigned id = 0;
  int width = 0;
  int height = 0;
  bool filtered = false;
  bool mipmapped = false;
  unsigned generation = 0;
  // Changes with every upload or update, never repeating, so that a drawing
  // remembered with it can tell whether the pixels are still the same.
  std::uint64_t version = 0;
};

struct Vertex {
  float x, y;  // display pixels
  float u, v;  // texture coordinates 0..1
  std::uint8_t r, g, b, a;
};

// Corners of one quad in drawing order: top-left, top-right, bottom-right,
// bottom-left of the source rectangle.
using Quad = Vertex[4];

// Starts the renderer in the current GL context for a display of the given
// size. Returns false with the reason in `error`.
bool start(int width, int height, std::string& error);
// Forgets the GL context, which is about to be destroyed with everything made
// in it. No GL call is made; textures made before count as gone.
void stop();
bool active();
unsigned generation();

// Makes (or remakes, if its context is gone) the texture and fills it with
// RGBA pixels; `update` replaces a rectangle of an existing one.
void upload(Texture& texture, int width, int height, const std::uint8_t* rgba);
void update(Texture& texture, int x, int y, int width, int height,
            const std::uint8_t* rgba);
bool current(const Texture& texture);
// Gives the texture up. Makes no GL call, so it is safe at any time, also
// while the program exits; the GL texture is deleted at the next flush.
void release(Texture& texture);

// A 1 x 1 white texture for lines.
const Texture& white();

// Queues a quad. Quads sharing texture and blend mode go out in one call.
void draw_quad(const Texture& texture, int blend, const Quad& quad);
// Sends the queued quads to GL.
void flush();

// Fills the draw buffer with black.
void clear();
// Paints every odd display row opaque (r, g, b), replacing what lies there.
// Each row is copied from a one-row buffer of that colour: a plain copy for a
// software GL, where shading the whole display to keep half of it costs more
// than the rest of the frame.
void fill_odd_rows(std::uint8_t r, std::uint8_t g, std::uint8_t b);
// The static layer. Quads and clears between the two are remembered instead
// of drawn; at the end, if they are the same as the last layer's (same
// textures at the same versions, corners, colours and modes) and that layer
// began with a clear, its kept copy replaces the draw buffer. Otherwise they
// are drawn and, when they begin with a clear, kept. Anything that needs the
// draw buffer in between draws what was remembered and ends the caching for
// this layer. VERMIX_NO_LAYER_CACHE=1 in the environment turns the copy off.
void begin_layer();
void end_layer();
// Shows the draw buffer on the window's drawable, scaled by a whole factor,
// centred on black; it becomes the presented buffer, and the next drawing
// starts from a copy of it unless it begins by covering the whole display.
// A `band` (rows of display pixels, top first, with alpha) is laid over the
// window at the frame's zoom where band_place puts it; it is no part of the
// presented frame.
void present(int drawable_width, int drawable_height,
             const Texture* band = nullptr);
// Reads a rectangle of the draw buffer (or of the presented frame) as RGBA
// rows top to bottom; pixels outside the display read as black.
void read_draw_buffer(int x, int y, int width, int height,
                      std::vector<std::uint8_t>& rgba);
void read_presented(std::vector<std::uint8_t>& rgba);
// Reads the lower-left width x height pixels of the window's drawable as they
// stand before the buffers swap, RGBA rows top to bottom.
void read_window(int width, int height, std::vector<std::uint8_t>& rgba);

// Benchmark switch: send every quad on its own.
void set_flush_every_quad(bool on);
// Draw calls issued since the renderer started.
long draw_calls();
// Quads sent to GL since the renderer started.
long quads_drawn();

}  // namespace platform::detail::renderer
