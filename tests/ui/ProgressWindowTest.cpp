#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "UiTestSupport.h"
#include "ui/ProgressWindow.h"

using quillon::ui::ProgressWindow;

namespace {

class ProgressWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { quillon::testing::TestApp(); }
};

TEST_F(ProgressWindowTest, ShowTwiceIsOneWindowAndHideWhenHiddenDoesNothing) {
    ProgressWindow w;
    w.Hide();
    EXPECT_FALSE(w.IsShown());
    w.Show();
    w.Show();
    EXPECT_TRUE(w.IsShown());
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isModal());
    w.SetTitle("Login");
    w.SetText("Looking for login prompt...");
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Login"));
    EXPECT_EQ(w.TextLine()->text(), QStringLiteral("Looking for login prompt..."));
    w.Hide();
    EXPECT_FALSE(w.isVisible());
}

TEST_F(ProgressWindowTest, RefusedValuesAreNotPainted) {
    ProgressWindow w;
    w.Show();
    w.SetBar(95.0f);
    const int repaints = w.Repaints();
    w.SetBar(150.0f);
    EXPECT_FLOAT_EQ(w.BarValue(), 95.0f);
    w.AdvanceBar(10.0f);
    EXPECT_FLOAT_EQ(w.BarValue(), 105.0f);
    EXPECT_EQ(w.Repaints(), repaints);
    EXPECT_FLOAT_EQ(w.BarArea()->PaintedValue(), 95.0f);
    w.ResetBar();
    EXPECT_FLOAT_EQ(w.BarArea()->PaintedValue(), 0.0f);
}

TEST_F(ProgressWindowTest, HalfABarTwoHundredPixelsWidePaintsOneHundred) {
    ProgressWindow w;
    w.Show();
    w.BarArea()->setGeometry(0, 0, 202, 20);  // a 200-pixel client inside the border
    w.SetBar(50.0f);
    const QImage img = w.BarArea()->grab().toImage();
    int blue = 0;
    for (int x = 0; x < img.width(); ++x) {
        if (img.pixelColor(x, 10) == QColor(0, 0, 150)) {
            ++blue;
        }
    }
    EXPECT_EQ(blue, 100);
    EXPECT_EQ(img.pixelColor(150, 10), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(0, 10), QColor(Qt::black));
}

TEST_F(ProgressWindowTest, CancelAndEscCancelTheProceduresAndHide) {
    ProgressWindow w;
    int cancels = 0;
    w.SetCancelHandler([&] { ++cancels; });
    w.Show();
    QTest::mouseClick(w.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(cancels, 1);
    EXPECT_FALSE(w.IsShown());
    EXPECT_FALSE(w.isVisible());
    w.Show();
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_EQ(cancels, 2);
    EXPECT_FALSE(w.IsShown());
}

}  // namespace
