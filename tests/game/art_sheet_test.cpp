// The sprite sheet as the game grabs it: layout, the frames whose pixels the
// hit tests depend on, the wall colours, and the mushroom stages.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "tests/game/art_pictures.h"

namespace {

using Mask = std::vector<std::string>;

const Picture& sheet() {
  static const Picture p = committed_picture("vermix_01.png");
  return p;
}

struct Rect {
  int left, top, width, height;
  bool contains(int x, int y) const {
    return x >= left && y >= top && x < left + width && y < top + height;
  }
};

// The rectangles start-up grabs: title, 31 small frames, 12 large frames.
std::vector<Rect> grab_rects() {
  std::vector<Rect> rects{{1, 37, 266, 98}};
  for (int i = 0; i < 31; ++i) rects.push_back({1 + 11 * i, 1, 10, 10});
  for (int i = 0; i < 12; ++i) rects.push_back({1 + 21 * i, 14, 20, 20});
  return rects;
}

int lit_count(const Picture& p, const Rect& r) {
  int n = 0;
  for (int y = r.top; y < r.top + r.height; ++y) {
    for (int x = r.left; x < r.left + r.width; ++x) n += p.black(x, y) ? 0 : 1;
  }
  return n;
}

bool lit(const Mask& m, int x, int y) {
  return x >= 0 && y >= 0 && x < 10 && y < 10 && m[y][x] == '#';
}

// Whether two frames, each placed by its centre handle (5, 5), have a lit
// pixel at the same screen position.
bool frames_overlap(const Mask& a, int ax, int ay, const Mask& b, int bx,
                    int by) {
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      if (lit(a, x, y) && lit(b, x + ax - bx, y + ay - by)) return true;
    }
  }
  return false;
}

struct Box {
  int left = 99, top = 99, right = -1, bottom = -1;
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};

Box lit_box(const Picture& p, const Rect& r) {
  Box b;
  for (int y = 0; y < r.height; ++y) {
    for (int x = 0; x < r.width; ++x) {
      if (p.black(r.left + x, r.top + y)) continue;
      b.left = std::min(b.left, x);
      b.right = std::max(b.right, x);
      b.top = std::min(b.top, y);
      b.bottom = std::max(b.bottom, y);
    }
  }
  return b;
}

Rect large(int i) { return {1 + 21 * i, 14, 20, 20}; }

}  // namespace

TEST(ArtSheet, SizeFormatAndEverythingInsideTheGrabbedCells) {
  const Picture& p = sheet();
  ASSERT_EQ(p.width, 410);
  ASSERT_EQ(p.height, 139);
  EXPECT_FALSE(p.had_alpha) << "black must become transparent by the mask";

  const std::vector<Rect> rects = grab_rects();
  int stray = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      if (p.black(x, y)) continue;
      bool inside = false;
      for (const Rect& r : rects) inside = inside || r.contains(x, y);
      if (!inside && ++stray <= 5)
        ADD_FAILURE() << "lit pixel at " << x << "," << y;
    }
  }
  EXPECT_EQ(stray, 0);
  for (std::size_t i = 0; i < rects.size(); ++i) {
    EXPECT_GT(lit_count(p, rects[i]), 0)
        << "grab rectangle " << i << " is empty";
  }
}

TEST(ArtSheet, HitShapesMatchTheirPixelLists) {
  const Picture& p = sheet();
  ASSERT_EQ(p.width, 410);
  const Mask ship = {"....##....", "....##....", "...####...", "..######..",
                     ".########.", ".########.", ".########.", ".########.",
                     "..######..", "...####..."};
  const Mask shot = {"...####...", "...####...", "...####...", "..........",
                     "...####...", "...####...", "..........", "....##....",
                     "..........", "....##...."};
  const Mask mushroom = {"...####...", "..######..", ".########.", "##########",
                         "##########", "##########", "...####...", "...####...",
                         "...####...", "...####..."};
  EXPECT_EQ(small_frame_mask(p, 8), ship);
  EXPECT_EQ(small_frame_mask(p, 10), shot);
  EXPECT_EQ(small_frame_mask(p, 25), mushroom);
}

TEST(ArtSheet, SpritesArePureWhiteOnBlack) {
  // A dim pixel would be solid for the hit tests yet nearly invisible.
  const Picture& p = sheet();
  ASSERT_EQ(p.width, 410);
  std::vector<Rect> sprites;
  for (int i = 8; i < 31; ++i) sprites.push_back({1 + 11 * i, 1, 10, 10});
  for (int i = 0; i < 12; ++i) sprites.push_back(large(i));
  for (const Rect& r : sprites) {
    for (int y = r.top; y < r.top + r.height; ++y) {
      for (int x = r.left; x < r.left + r.width; ++x) {
        ASSERT_TRUE(p.black(x, y) || p.white(x, y)) << "at " << x << "," << y;
      }
    }
  }
}

TEST(ArtSheet, WallTilesCarryTheColourBandsAndNoBlack) {
  const Picture& p = sheet();
  ASSERT_EQ(p.width, 410);
  const std::array<std::array<int, 3>, 5> bands = {
      {{196, 2, 153}, {43, 230, 0}, {255, 252, 5}, {196, 2, 2}, {0, 6, 230}}};
  auto colour = [&](int frame, int x, int y) {
    const std::uint8_t* c = p.at(1 + 11 * frame + x, 1 + y);
    return std::array<int, 3>{c[0], c[1], c[2]};
  };
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      EXPECT_EQ(colour(0, x, y), bands[x / 2]) << "left wall " << x << "," << y;
      EXPECT_EQ(colour(4, x, y), bands[(9 - x) / 2])
          << "right wall " << x << "," << y;
      EXPECT_EQ(colour(2, x, y), bands[y / 2]) << "top wall " << x << "," << y;
      EXPECT_EQ(colour(6, x, y), bands[(9 - y) / 2])
          << "bottom wall " << x << "," << y;
    }
  }
  for (int frame = 0; frame < 8; ++frame) {
    EXPECT_EQ(lit_count(p, {1 + 11 * frame, 1, 10, 10}), 100)
        << "frame " << frame;
  }
  // Each corner continues the walls it joins: at its edge towards a wall it
  // shows that wall's bands (top-left: left wall below it, top wall to its
  // right; the others mirrored).
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(colour(1, i, 9), colour(0, i, 0));  // top-left over left wall
    EXPECT_EQ(colour(1, 9, i), colour(2, 0, i));  // top-left beside top wall
    EXPECT_EQ(colour(3, i, 9), colour(4, i, 0));  // top-right over right wall
    EXPECT_EQ(colour(3, 0, i), colour(2, 9, i));  // top-right beside top wall
    EXPECT_EQ(colour(5, i, 0), colour(0, i, 9));  // bottom-left under left wall
    EXPECT_EQ(colour(5, 9, i), colour(6, 0, i));  // bottom-left beside bottom
    EXPECT_EQ(colour(7, i, 0), colour(4, i, 9));  // bottom-right under right
    EXPECT_EQ(colour(7, 0, i), colour(6, 9, i));  // bottom-right beside bottom
  }
  // The screen-outer corner pixel is the outermost band, the inner one the
  // innermost.
  EXPECT_EQ(colour(1, 0, 0), bands[0]);
  EXPECT_EQ(colour(1, 9, 9), bands[4]);
  EXPECT_EQ(colour(7, 9, 9), bands[0]);
  EXPECT_EQ(colour(7, 0, 0), bands[4]);
}

TEST(ArtSheet, MushroomStagesWearAwayInsideTheSilhouette) {
  const Picture& p = sheet();
  ASSERT_EQ(p.width, 410);
  const Mask silhouette = small_frame_mask(p, 25);
  Mask previous = silhouette;
  for (int stage = 0; stage < 7; ++stage) {
    const Mask outline = small_frame_mask(p, 11 + stage);
    const Mask inside = small_frame_mask(p, 18 + stage);
    Mask whole(10, std::string(10, '.'));
    int size = 0;
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 10; ++x) {
        EXPECT_FALSE(lit(outline, x, y) && lit(inside, x, y))
            << "stage " << stage << " layers overlap at " << x << "," << y;
        if (lit(outline, x, y) || lit(inside, x, y)) {
          whole[y][x] = '#';
          ++size;
          EXPECT_TRUE(lit(previous, x, y))
              << "stage " << stage << " grows at " << x << "," << y;
        }
      }
    }
    if (stage == 0) {
      EXPECT_EQ(whole, silhouette) << "the whole mushroom";
    } else {
      EXPECT_NE(whole, previous) << "stage " << stage << " took no damage";
    }
    // Eaten from the bottom up: the cap's top row stays to the end.
    EXPECT_EQ(whole[0], silhouette[0]) << "stage " << stage;
    previous = whole;
  }
  // The last stage keeps only the top arc of the cap.
  for (int y = 3; y < 10; ++y) EXPECT_EQ(previous[y], std::string(10, '.'));
}

TEST(ArtSheet, BodyDiscProbeFindsOnlyTheNeighbouringMushroom) {
  const Picture& p = sheet();
  ASSERT_EQ(p.width, 410);
  const Mask disc = small_frame_mask(p, 28);
  const Mask mushroom = small_frame_mask(p, 25);
  const int x = 255, y = 200;  // a segment's grid position
  const int probes[3][2] = {{x + 10, y}, {x - 10, y}, {x, y + 10}};
  for (const auto& probe : probes) {
    for (int dy = -10; dy <= 10; dy += 10) {
      for (int dx = -10; dx <= 10; dx += 10) {
        const bool hit = frames_overlap(disc, probe[0], probe[1], mushroom,
                                        probe[0] + dx, probe[1] + dy);
        EXPECT_EQ(hit, dx == 0 && dy == 0)
            << "probe " << probe[0] << "," << probe[1] << " mushroom offset "
            << dx << "," << dy;
      }
    }
  }
}

TEST(ArtSheet, CrawlerAndInsectShapesHaveTheirSizes) {
  const Picture& p = sheet();
  ASSERT_EQ(p.width, 410);
  for (int frame : {26, 28}) {
    const Box b = lit_box(p, {1 + 11 * frame, 1, 10, 10});
    EXPECT_EQ(b.width(), 8) << "frame " << frame;
    EXPECT_EQ(b.height(), 8) << "frame " << frame;
  }
  // Horns along the top edge; legs in opposite corners.
  EXPECT_EQ(lit_box(p, {1 + 11 * 27, 1, 10, 10}).top, 0);
  const Mask legs_a = small_frame_mask(p, 29), legs_b = small_frame_mask(p, 30);
  EXPECT_TRUE(lit(legs_a, 0, 0) && lit(legs_a, 9, 9));
  EXPECT_FALSE(lit(legs_a, 9, 0) || lit(legs_a, 0, 9));
  EXPECT_TRUE(lit(legs_b, 9, 0) && lit(legs_b, 0, 9));
  EXPECT_FALSE(lit(legs_b, 0, 0) || lit(legs_b, 9, 9));

  const Box spider = lit_box(p, large(0));
  EXPECT_NEAR(spider.width(), 9, 1);
  EXPECT_NEAR(spider.height(), 7, 1);
  const Box flea = lit_box(p, large(3));
  EXPECT_NEAR(flea.width(), 12, 1);
  EXPECT_NEAR(flea.height(), 10, 1);
  EXPECT_GE(flea.left, 6) << "the flea's body sits to the right";
  EXPECT_LE(flea.top, 3) << "and high up";
  const Box mosquito = lit_box(p, large(9));
  EXPECT_GT(mosquito.height(), 3 * mosquito.width()) << "a long upright body";
  EXPECT_EQ(mosquito.top, 0) << "the sting reaches the top edge";
  // Spread wings are wider than folded ones.
  EXPECT_GT(lit_box(p, large(10)).width(), lit_box(p, large(11)).width() + 4);
}

TEST(ArtSheet, TitleFillsItsRectangleInVisibleShades) {
  const Picture& p = sheet();
  ASSERT_EQ(p.width, 410);
  const Rect title{1, 37, 266, 98};
  const Box b = lit_box(p, title);
  EXPECT_GE(b.width(), 240);
  EXPECT_GE(b.height(), 80);
  // The title is drawn tinted grey: no lit pixel may be close to black.
  for (int y = title.top; y < title.top + title.height; ++y) {
    for (int x = title.left; x < title.left + title.width; ++x) {
      if (p.black(x, y)) continue;
      const std::uint8_t* c = p.at(x, y);
      ASSERT_GE(std::max({c[0], c[1], c[2]}), 48) << "at " << x << "," << y;
    }
  }
  EXPECT_GT(lit_count(p, title), 266 * 98 / 4) << "bold lettering";
}
