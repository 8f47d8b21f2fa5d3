// One grid axis as tables: where cells start, which cell a position hits, how far a view
// scrolls, with fixed, hidden (0 and -1) and wide cells and with and without grid lines.
#include <gtest/gtest.h>

#include "framework/gridaxis.h"

using namespace komp;

namespace {
// Ten cells: 0 and 1 fixed (20 and 30), 2 hidden (0), 3 hidden (-1), the rest 40 except 6 (100).
TGridAxis Axis(int lw = 1) {
  TGridAxis a;
  a.count = 10;
  a.fixed = 2;
  a.defSize = 40;
  a.first = 2;
  a.lw = lw;
  a.Resize(10);
  a.sizes.assign(10, 40);
  a.sizes[0] = 20;
  a.sizes[1] = 30;
  a.sizes[2] = 0;
  a.sizes[3] = -1;
  a.sizes[6] = 100;
  return a;
}
}  // namespace

TEST(GridAxis, StartsAndHitsAgree) {
  struct Case {
    int first, lw, len;
    std::vector<int64_t> starts;  // Start of cells 0..9
  };
  const Case cases[] = {
      // Fixed 21 + 31 = 52; then 4 at 52, 5 at 93, 6 at 134, 7 at 235 (beyond 200: -1).
      {2, 1, 200, {0, 21, -1, -1, 52, 93, 134, -1, -1, -1}},
      {2, 0, 200, {0, 20, -1, -1, 50, 90, 130, -1, -1, -1}},
      {5, 1, 300, {0, 21, -1, -1, -1, 52, 93, 194, 235, 276}},
      {9, 1, 60, {0, 21, -1, -1, -1, -1, -1, -1, -1, 52}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.first) + "/" + std::to_string(c.lw) + "/" + std::to_string(c.len));
    TGridAxis a = Axis(c.lw);
    a.first = c.first;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(a.Start(i, c.len), c.starts[size_t(i)]) << i;
    // Every position of the view hits the cell that starts at or before it, lines included.
    for (int p = 0; p < c.len; ++p) {
      const int hit = a.CellAt(p, c.len);
      if (hit < 0) continue;
      const int64_t s = a.Start(hit, c.len);
      ASSERT_GE(s, 0) << p;
      EXPECT_LE(s, p);
      EXPECT_LT(p, s + a.Extent(hit));
    }
    EXPECT_EQ(a.CellAt(-1, c.len), -1);
    EXPECT_EQ(a.CellAt(c.len, c.len), -1);
  }
}

TEST(GridAxis, ScrollLimits) {
  TGridAxis a = Axis();
  // 200 pixels: fixed 52, then cells from the end back: 9, 8, 7 (41 each) = 123; 6 does not fit.
  EXPECT_EQ(a.MaxFirst(200), 7);
  // Cell 6 (101 with its line) still shows whole after cell 5: 52 + 41 + 101 = 194.
  EXPECT_EQ(a.FirstToShow(6, 200), 5);
  EXPECT_EQ(a.FirstToShow(1, 200), 2) << "a fixed cell needs no scrolling";
  // A cell wider than the view is shown from its start.
  EXPECT_EQ(a.FirstToShow(6, 80), 6);
  a.first = 4;
  EXPECT_EQ(a.LastFullVisible(200), 5) << "cell 6 (100) does not fit after 4 and 5";
  EXPECT_EQ(a.LastFullVisible(300), 7);
}

TEST(GridAxis, DefaultSizesAndHugeCounts) {
  TGridAxis a;
  a.count = 150'000'000;
  a.fixed = 1;
  a.defSize = 24;
  a.first = a.MaxFirst(600);
  EXPECT_EQ(a.FixedExtent(), 25);
  // 575 pixels below the fixed row hold 23 whole rows of 25.
  EXPECT_EQ(a.first, a.count - 23);
  EXPECT_EQ(a.Start(a.count - 1, 600), 25 + 22 * 25);
  EXPECT_EQ(a.CellAt(25 + 22 * 25, 600), a.count - 1);
  EXPECT_EQ(a.CellAt(599, 600), a.count - 1) << "the last row's line";
  EXPECT_EQ(a.CellAt(605, 610), -1) << "below the last row";
  a.Resize(10);
  EXPECT_EQ(a.Size(9), 24);
  EXPECT_EQ(a.Size(10), 0);
  EXPECT_EQ(a.Extent(-1), 0);
}
