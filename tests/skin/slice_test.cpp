// Where the pieces of a sliced cell go: exact rectangles for the skin's shapes and the
// behaviour when the target is smaller than the fixed borders.
#include <gtest/gtest.h>

#include "skin/lum_slice.h"

namespace vexa {

bool operator==(const LumSpan& a, const LumSpan& b) {
    return a.dst == b.dst && a.dst_len == b.dst_len && a.src == b.src && a.src_len == b.src_len;
}

std::ostream& operator<<(std::ostream& out, const LumSpan& s) {
    return out << "{" << s.dst << "," << s.dst_len << " <- " << s.src << "," << s.src_len << "}";
}

namespace {

TEST(LumSlice, AxisPieces) {
    const struct {
        const char* name;
        int cell, lead, tail_start, target;
        std::vector<LumSpan> spans;
    } cases[] = {
        // The text button: left cap 5, right cap from 44 of 48.
        {"own size", 48, 5, 44, 48, {{0, 5, 0, 5}, {5, 39, 5, 39}, {44, 4, 44, 4}}},
        {"110 wide", 48, 5, 44, 110, {{0, 5, 0, 5}, {5, 101, 5, 39}, {106, 4, 44, 4}}},
        {"caps touch", 48, 5, 44, 9, {{0, 5, 0, 5}, {5, 4, 44, 4}}},
        // Smaller than the caps: the caps shrink in proportion and fill the target.
        {"smaller than caps", 48, 5, 44, 6, {{0, 3, 0, 5}, {3, 3, 44, 4}}},
        {"one pixel", 48, 5, 44, 1, {{0, 1, 44, 4}}},
        {"zero", 48, 5, 44, 0, {}},
        {"negative", 48, 5, 44, -20, {}},
        // Slicing positions outside the cell are kept inside it.
        {"right start past the cell", 48, 5, 60, 100, {{0, 5, 0, 5}, {5, 95, 5, 43}}},
        // Nothing lies between the columns to stretch: the middle stays empty.
        {"right start before left", 48, 10, 4, 100, {{0, 10, 0, 10}, {62, 38, 10, 38}}},
        {"no fixed parts", 50, 0, 50, 80, {{0, 80, 0, 50}}},
        {"empty cell", 0, 0, 0, 80, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SliceAxis(c.cell, c.lead, c.tail_start, c.target), c.spans);
    }
}

TEST(LumSlice, NineSlicePiecesOfTheWindowBackground) {
    // 50 x 310, left 10, right start 40, top 250, bottom start 300, drawn at 580 x 370.
    const std::vector<LumSlicePiece> pieces = SliceCell(50, 310, 10, 40, 250, 300, 580, 370);
    const int expected[][8] = {
        {0, 0, 10, 250, 0, 0, 10, 250},       {10, 0, 560, 250, 10, 0, 30, 250},    {570, 0, 10, 250, 40, 0, 10, 250},
        {0, 250, 10, 110, 0, 250, 10, 50},    {10, 250, 560, 110, 10, 250, 30, 50}, {570, 250, 10, 110, 40, 250, 10, 50},
        {0, 360, 10, 10, 0, 300, 10, 10},     {10, 360, 560, 10, 10, 300, 30, 10},  {570, 360, 10, 10, 40, 300, 10, 10},
    };
    ASSERT_EQ(pieces.size(), 9u);
    for (size_t i = 0; i < pieces.size(); ++i) {
        const LumSlicePiece& p = pieces[i];
        const int got[8] = {p.dx, p.dy, p.dw, p.dh, p.sx, p.sy, p.sw, p.sh};
        for (int k = 0; k < 8; ++k)
            EXPECT_EQ(got[k], expected[i][k]) << "piece " << i << " value " << k;
    }
    EXPECT_TRUE(pieces[0].OneToOne());
    EXPECT_FALSE(pieces[4].OneToOne());
}

TEST(LumSlice, CornersTouchWhenTheMiddleIsEmpty) {
    // Shadow frame: 210 x 143, corners of 30; drawn at exactly the corners' size.
    const std::vector<LumSlicePiece> pieces = SliceCell(210, 143, 30, 180, 30, 113, 60, 60);
    ASSERT_EQ(pieces.size(), 4u);
    for (const LumSlicePiece& p : pieces)
        EXPECT_TRUE(p.OneToOne());
    EXPECT_EQ(pieces[1].dx, 30);
    EXPECT_EQ(pieces[1].sx, 180);
    EXPECT_EQ(pieces[2].dy, 30);
    EXPECT_EQ(pieces[2].sy, 113);
}

TEST(LumSlice, PiecesStayInsideATargetSmallerThanTheBorders) {
    const struct {
        int cx, cy;
    } targets[] = {{15, 20}, {1, 1}, {19, 259}, {3, 400}, {600, 7}};
    for (const auto& t : targets) {
        int area = 0;
        for (const LumSlicePiece& p : SliceCell(50, 310, 10, 40, 250, 300, t.cx, t.cy)) {
            EXPECT_GT(p.dw, 0);
            EXPECT_GT(p.dh, 0);
            EXPECT_GE(p.dx, 0);
            EXPECT_GE(p.dy, 0);
            EXPECT_LE(p.dx + p.dw, t.cx);
            EXPECT_LE(p.dy + p.dh, t.cy);
            area += p.dw * p.dh;
        }
        EXPECT_EQ(area, t.cx * t.cy) << t.cx << " x " << t.cy << " is covered once";
    }
}

}  // namespace
}  // namespace vexa
