// The record that decides whether the kept static layer may stand in for a
// fresh drawing: any change to what a quad would draw must tell them apart.
#include "platform/video/gl/layer_record.h"

#include <gtest/gtest.h>

namespace {

using platform::detail::renderer::LayerRecord;
using platform::detail::renderer::Quad;
using platform::detail::renderer::Texture;
using platform::detail::renderer::Vertex;

Quad& tile() {
  static Quad q = {Vertex{0, 0, 0, 0, 140, 4, 40, 255},
                   Vertex{10, 0, 1, 0, 140, 4, 40, 255},
                   Vertex{10, 10, 1, 1, 140, 4, 40, 255},
                   Vertex{0, 10, 0, 1, 140, 4, 40, 255}};
  return q;
}

LayerRecord layer(const Texture& t, int blend, const Quad& q) {
  LayerRecord r;
  r.add_clear();
  r.add_quad(t, blend, q);
  return r;
}

TEST(LayerRecord, AnyChangeToAQuadMakesAnotherLayer) {
  Texture t;
  t.id = 7;
  t.version = 3;
  const LayerRecord base = layer(t, 4, tile());
  EXPECT_TRUE(base == layer(t, 4, tile()));

  Texture redrawn = t;
  redrawn.version = 4;  // same texture, new pixels
  EXPECT_FALSE(base == layer(redrawn, 4, tile()));
  Texture other = t;
  other.id = 8;
  EXPECT_FALSE(base == layer(other, 4, tile()));
  EXPECT_FALSE(base == layer(t, 3, tile()));

  Quad moved;
  std::memcpy(moved, tile(), sizeof(Quad));
  moved[2].x += 1.0f;
  EXPECT_FALSE(base == layer(t, 4, moved));
  Quad tinted;
  std::memcpy(tinted, tile(), sizeof(Quad));
  tinted[0].g = 5;  // another eye colour
  EXPECT_FALSE(base == layer(t, 4, tinted));

  LayerRecord longer = layer(t, 4, tile());
  longer.add_quad(t, 4, tile());  // a second pass adds light
  EXPECT_FALSE(base == longer);
}

TEST(LayerRecord, OnlyALayerStartingFromBlackStandsAlone) {
  Texture t;
  t.id = 7;
  LayerRecord r;
  EXPECT_FALSE(r.starts_with_clear());
  r.add_quad(t, 2, tile());
  EXPECT_FALSE(r.starts_with_clear());
  r.add_clear();  // covers the quad before it
  EXPECT_TRUE(r.starts_with_clear());
  EXPECT_EQ(r.ops().size(), 1u);
}

}  // namespace
