// Where the main window puts its controls and the progress streak.
#include <gtest/gtest.h>

#include "app/main_dlg.h"

namespace vexa {
namespace {

TEST(MainWindowLayout, CentresButtonsAndLabelsBelowTheBand) {
    const RECT client{0, 0, 580, 370};
    const MainDlgLayout layout = ComputeMainDlgLayout(580, client, 32, 110, 110, 300, 120);
    EXPECT_EQ(layout.close.x, 548);
    EXPECT_EQ(layout.close.y, 0);
    EXPECT_EQ(layout.start.x, 130);
    EXPECT_EQ(layout.start.y, 320);
    EXPECT_EQ(layout.cancel.x, 340);
    EXPECT_EQ(layout.cancel.y, 320);
    EXPECT_EQ(layout.question.x, 140);
    EXPECT_EQ(layout.question.y, 268);
    EXPECT_EQ(layout.status.x, 230);
}

TEST(MainWindowLayout, ALabelWiderThanTheWindowStartsAtItsLeftEdge) {
    const RECT client{0, 0, 580, 320};
    const MainDlgLayout layout = ComputeMainDlgLayout(580, client, 32, 110, 110, 581, 640);
    EXPECT_EQ(layout.question.x, 0);
    EXPECT_EQ(layout.status.x, 0);
}

TEST(MainWindowLayout, StreakSweepsToTheRightEdge) {
    EXPECT_EQ(StreakX(0, 100, 580, 241), -226);
    EXPECT_EQ(StreakX(50, 100, 580, 241), 64);
    EXPECT_EQ(StreakX(100, 100, 580, 241), 354);
}

}  // namespace
}  // namespace vexa
