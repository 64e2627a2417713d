// Cost of one heavy stereo frame on the headless GL: the backdrop, 150
// border tiles, 180 mushroom layers, 60 glyphs of text, each drawn twice in
// two colours with additive blending, then 240 retro lines and a present.
// Run batched, and flushed after every quad for comparison.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "platform/platform.h"
#include "platform/video/gl/renderer.h"
#include "platform/video/images.h"

namespace {

using namespace platform;

struct Scene {
  ImageRef backdrop;
  ImageRef sprites;
  FontRef font;
};

Scene& scene() {
  static Scene s = [] {
    Scene scene;
    setenv("SDL_VIDEODRIVER", "offscreen",
           0);  // headless unless told otherwise
    if (!open_graphics(640, 480, 0, 60, 2)) std::abort();
    auto_image_flags(9);
    scene.backdrop = create_image(640, 480, 1, -1);
    auto_mid_handle(1);
    scene.sprites = create_image(10, 10, 31, -1);
    auto_mid_handle(0);
    std::vector<std::uint8_t> rgba(10 * 10 * 4);
    for (int f = 0; f < 31; ++f) {
      for (int i = 0; i < 100; ++i) {
        const std::uint8_t v = (i + f) % 3 ? 255 : 0;
        rgba[i * 4] = rgba[i * 4 + 1] = rgba[i * 4 + 2] = v;
        rgba[i * 4 + 3] = 255;
      }
      detail::store_frame(*scene.sprites, f, rgba.data(), false);
    }
    scene.font = load_image_font(
        std::string(VERMIX_ASSET_DIR) + "/fonts/joystix.ttf", 12, 4);
    return scene;
  }();
  return s;
}

// One pass per eye, the colour changing between them, as stereo drawing does.
template <typename Draw>
void both_eyes(Draw draw) {
  set_color(140, 4, 40);
  draw(-4.0f);
  set_color(4, 100, 20);
  draw(4.0f);
}

void heavy_frame(const Scene& s) {
  cls();
  set_blend(4);
  set_alpha(1.0f);
  both_eyes([&](float d) { draw_image(s.backdrop, d, 0, 0); });
  for (int i = 0; i < 150; ++i) {
    const float x = 165.0f + (i % 32) * 10;
    const float y = 20.0f + (i / 32) * 110;
    both_eyes([&](float d) { draw_image(s.sprites, x + d, y, i % 8); });
  }
  for (int i = 0; i < 180; ++i) {
    const float x = 175.0f + (i * 7 % 30) * 10;
    const float y = 30.0f + (i * 11 % 43) * 10;
    both_eyes([&](float d) { draw_image(s.sprites, x + d, y, 8 + i % 7); });
  }
  set_image_font(s.font);
  for (int line = 0; line < 3; ++line) {
    both_eyes([&](float d) {
      draw_text("SCORE 00012345 HI 9", 200 + d, 100.0f + 20 * line);
    });
  }
  set_blend(2);
  set_color(2, 2, 2);
  for (int y = 1; y <= 480; y += 2) {
    draw_line(0, static_cast<float>(y), 640, static_cast<float>(y), 1);
  }
  set_blend(1);
  set_color(255, 255, 255);
  flip(0);
}

void BM_HeavyStereoFrame(benchmark::State& state) {
  Scene& s = scene();
  detail::renderer::set_flush_every_quad(state.range(0) != 0);
  heavy_frame(s);  // glyphs and textures made before timing
  const long calls_before = detail::renderer::draw_calls();
  long frames = 0;
  for (auto _ : state) {
    heavy_frame(s);
    ++frames;
  }
  state.counters["draw_calls_per_frame"] =
      static_cast<double>(detail::renderer::draw_calls() - calls_before) /
      static_cast<double>(frames);
  detail::renderer::set_flush_every_quad(false);
}

}  // namespace

BENCHMARK(BM_HeavyStereoFrame)
    ->ArgName("flush_every_quad")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
