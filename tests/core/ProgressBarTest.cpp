#include <gtest/gtest.h>

#include "core/ProgressSink.h"
#include "sim/RecordingProgress.h"

using quillon::ProgressBar;

TEST(ProgressBar, ValuesOutsideTheRangeAreRefusedBySetAndNotPaintedByAdvance) {
    ProgressBar bar;
    EXPECT_TRUE(bar.Set(95.0f));
    EXPECT_FALSE(bar.Set(150.0f));
    EXPECT_FLOAT_EQ(bar.Value(), 95.0f);
    EXPECT_FALSE(bar.Set(-1.0f));
    EXPECT_FALSE(bar.Advance(10.0f));  // stored, but not painted
    EXPECT_FLOAT_EQ(bar.Value(), 105.0f);
    EXPECT_TRUE(bar.Advance(-10.0f));
    EXPECT_TRUE(bar.Reset());
    EXPECT_FLOAT_EQ(bar.Value(), 0.0f);
    // Eight advances of 12.5 fill it exactly.
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(bar.Advance(12.5f));
    }
    EXPECT_FLOAT_EQ(bar.Value(), 100.0f);
}

TEST(ProgressBar, FilledWidthTruncatesTheValueFirst) {
    EXPECT_EQ(ProgressBar::FilledWidth(50.0f, 200), 100);
    EXPECT_EQ(ProgressBar::FilledWidth(99.9f, 100), 99);
    EXPECT_EQ(ProgressBar::FilledWidth(0.5f, 300), 0);
    EXPECT_EQ(ProgressBar::FilledWidth(100.0f, 189), 189);
}

TEST(RecordingProgress, ShowAndHideAreIdempotentAndRepaintsFollowTheBarRules) {
    quillon::sim::RecordingProgress p;
    p.Show();
    p.Show();
    EXPECT_TRUE(p.IsShown());
    p.Hide();
    p.Hide();
    EXPECT_FALSE(p.IsShown());
    p.SetBar(95.0f);
    const int before = p.Repaints();
    p.AdvanceBar(10.0f);
    EXPECT_EQ(p.Repaints(), before);
    EXPECT_FLOAT_EQ(p.BarValue(), 105.0f);
}
