// What a static layer was drawn with: clears and quads in order, each quad
// with its texture's name and version and its blend mode. Two records that
// compare equal draw the same pixels onto a cleared display.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/video/gl/renderer.h"

namespace platform::detail::renderer {

struct LayerOp {
  unsigned texture = 0;  // 0: a clear
  std::uint64_t version = 0;
  int blend = 0;
  Quad quad{};
};

class LayerRecord {
 public:
  void add_clear() {
    ops_.clear();  // a clear covers whatever came before it
    ops_.push_back(LayerOp{});
  }
  void add_quad(const Texture& texture, int blend, const Quad& quad) {
    LayerOp op;
    op.texture = texture.id;
    op.version = texture.version;
    op.blend = blend;
    std::memcpy(op.quad, quad, sizeof(Quad));
    ops_.push_back(op);
  }
  void clear() { ops_.clear(); }
  void swap(LayerRecord& other) { ops_.swap(other.ops_); }
  const std::vector<LayerOp>& ops() const { return ops_; }
  // Only a layer that starts from black depends on nothing drawn before it.
  bool starts_with_clear() const {
    return !ops_.empty() && ops_.front().texture == 0;
  }
  bool operator==(const LayerRecord& other) const {
    if (ops_.size() != other.ops_.size()) return false;
    for (std::size_t i = 0; i < ops_.size(); ++i) {
      const LayerOp& a = ops_[i];
      const LayerOp& b = other.ops_[i];
      // Corners compare as bytes: no float quirk can make two differ unseen.
      if (a.texture != b.texture || a.version != b.version ||
          a.blend != b.blend || std::memcmp(a.quad, b.quad, sizeof(Quad))) {
        return false;
      }
    }
    return true;
  }

 private:
  std::vector<LayerOp> ops_;
};

}  // namespace platform::detail::renderer
