// The static layer: its drawing is recorded, and a layer drawn the same as
// the last one is put up from the kept copy instead of drawn again.
#include "platform/video/gl/gl_state.h"

namespace platform::detail::renderer {

// Draws what the layer being recorded holds so far and stops recording it.
void draw_recorded() {
  State& s = state();
  s.recording = false;
  for (const LayerOp& op : s.recorded.ops()) {
    if (op.texture == 0) {
      clear_now();
    } else {
      Texture t;
      t.id = op.texture;
      queue_quad(t, op.blend, op.quad);
    }
  }
}

void begin_layer() {
  State& s = state();
  if (!s.active) return;
  flush();
  s.recording = true;
  s.recorded.clear();
}

void end_layer() {
  State& s = state();
  if (!s.active || !s.recording) return;
  s.recording = false;
  if (s.kept_valid && s.recorded == s.kept) {
    // The kept copy covers the whole display: no clear, no older frame.
    s.batch.clear();
    s.draw_stale = false;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s.layer_fbo);
    glBlitFramebuffer(0, 0, s.width, s.height, 0, 0, s.width, s.height,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s.draw_fbo);
    s.recorded.clear();
    return;
  }
  draw_recorded();
  s.kept_valid = s.cache_layers && s.recorded.starts_with_clear();
  if (s.kept_valid) {
    flush();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, s.layer_fbo);
    glBlitFramebuffer(0, 0, s.width, s.height, 0, 0, s.width, s.height,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, s.draw_fbo);
  }
  s.kept.swap(s.recorded);
  s.recorded.clear();
}

}  // namespace platform::detail::renderer
