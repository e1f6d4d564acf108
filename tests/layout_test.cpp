// The rules the layout states, checked as rules against the description, and twips to pixels
// against values worked out by hand rather than by the function under test.
#include <gtest/gtest.h>

#include "window/main_window_layout.hpp"

namespace quorbel {
namespace {

const ControlDescription& Find(std::string_view name, Index index) {
    for (const ControlDescription& c : MainWindowLayout.controls)
        if (c.name == name && c.index == index) return c;
    ADD_FAILURE() << "no " << name << "(" << index << ")";
    return MainWindowLayout.controls[0];
}

// 1440 twips to the inch: 15 to a pixel at 96 DPI, 12 at 120, 10 at 144, 7.5 at 192; a half
// pixel rounds up.
TEST(Layout, TwipsBecomeWholePixelsRoundedToNearest) {
    struct {
        int twips, dpi, pixels;
    } const worked[] = {
        {15, 96, 1},     {7, 96, 0},      {8, 96, 1},       {6420, 96, 428},  {5685, 96, 379},
        {6420, 120, 535}, {5685, 120, 474}, {1485, 120, 124}, {375, 120, 31},
        {6420, 144, 642}, {5685, 144, 569}, {1485, 144, 149}, {375, 144, 38},   {1215, 144, 122},
        {6420, 192, 856}, {5685, 192, 758}, {1010, 192, 135}, {1000, 192, 133}, {4, 192, 1},
    };
    for (const auto& w : worked)
        EXPECT_EQ(TwipsToPixels(w.twips, w.dpi), w.pixels) << w.twips << " twips at " << w.dpi << " DPI";
}

// A heading and the attribute list under it share left edge and width, the heading above the list.
TEST(Layout, EachHeadingStandsOverItsListEdgeToEdge) {
    for (Index column = 0; column < kAttributeCount; ++column) {
        const TwipsRect heading = Find("Label1", static_cast<Index>(column + 1)).bounds;
        const TwipsRect list = Find("List1", column).bounds;
        EXPECT_EQ(heading.left, list.left) << "List1(" << column << ")";
        EXPECT_EQ(heading.width, list.width) << "List1(" << column << ")";
        EXPECT_LT(heading.top, list.top) << "List1(" << column << ")";
    }
}

// Rows keep their natural height while all five fit; taller ones shrink to the list's fifth.
TEST(Layout, TallerRowsShrinkSoThatAllFiveFit) {
    EXPECT_EQ(FittedRowHeight(18, 95, 5), 18);
    EXPECT_EQ(FittedRowHeight(19, 95, 5), 19);
    EXPECT_EQ(FittedRowHeight(25, 95, 5), 19);
    EXPECT_EQ(FittedRowHeight(25, 95, 0), 25);
}

}  // namespace
}  // namespace quorbel
