#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdint>
#include <functional>
#include <vector>

#include "UiTestSupport.h"
#include "ui/CTmpView.h"

namespace quillon::ui {
namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

// An uncompressed 8-bit picture with a 40-byte header and the given colours
// (red, green, blue each), bottom row first as the format stores it.
Bytes EightBitFile(int w, int h, const std::vector<QRgb>& colours,
                   const std::function<uint8_t(int, int)>& index) {
    const uint32_t stride = (static_cast<uint32_t>(w) + 3u) / 4u * 4u;
    const uint32_t start = 14 + 40 + 4 * static_cast<uint32_t>(colours.size());
    Bytes b = {'B', 'M'};
    Put32(b, start + stride * static_cast<uint32_t>(h));
    Put32(b, 0);
    Put32(b, start);
    for (uint32_t v : {40u, static_cast<uint32_t>(w), static_cast<uint32_t>(h), 0x00080001u, 0u, 0u,
                       0u, 0u, static_cast<uint32_t>(colours.size()), 0u}) {
        Put32(b, v);
    }
    for (QRgb c : colours) {
        b.insert(b.end(), {static_cast<uint8_t>(qBlue(c)), static_cast<uint8_t>(qGreen(c)),
                           static_cast<uint8_t>(qRed(c)), 0});
    }
    for (int y = h - 1; y >= 0; --y) {
        for (uint32_t x = 0; x < stride; ++x) {
            b.push_back(static_cast<int>(x) < w ? index(static_cast<int>(x), y) : 0);
        }
    }
    return b;
}

class ViewPicture : public ::testing::Test {
  protected:
    QString Write(const Bytes& b) {
        const QString path = dir_.filePath(QStringLiteral("backgrnd.bmp"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(b.data()), static_cast<qint64>(b.size()));
        return path;
    }
    static QImage Shot(CTmpView& view, int w, int h) {
        view.resize(w, h);
        return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QTemporaryDir dir_;
};

const QRgb kRed = qRgb(0xFF, 0, 0);
const QRgb kBlue = qRgb(0, 0, 0xFF);
const QRgb kGreen = qRgb(0, 0x80, 0);
const QRgb kWhite = qRgb(0xFF, 0xFF, 0xFF);

TEST_F(ViewPicture, AnEightBitPictureIsDrawnCentredOnWhiteWithItsColours) {
    // 20 x 10: the top five rows red on the left, blue on the right; the
    // bottom five green.
    CTmpView view(Write(EightBitFile(20, 10, {kRed, kBlue, kGreen},
                                     [](int x, int y) {
                                         return static_cast<uint8_t>(y >= 5 ? 2 : x < 10 ? 0 : 1);
                                     })),
                  nullptr);
    ASSERT_TRUE(view.HasExternalPicture());
    const QImage shot = Shot(view, 301, 201);
    // Origin (140, 95): (301 - 20) / 2 and (201 - 10) / 2.
    EXPECT_EQ(shot.pixel(140, 95), kRed);
    EXPECT_EQ(shot.pixel(149, 99), kRed);
    EXPECT_EQ(shot.pixel(150, 95), kBlue);
    EXPECT_EQ(shot.pixel(159, 99), kBlue);
    EXPECT_EQ(shot.pixel(140, 100), kGreen);
    EXPECT_EQ(shot.pixel(159, 104), kGreen);
    EXPECT_EQ(shot.pixel(139, 95), kWhite);
    EXPECT_EQ(shot.pixel(160, 95), kWhite);
    EXPECT_EQ(shot.pixel(140, 94), kWhite);
    EXPECT_EQ(shot.pixel(140, 105), kWhite);
    EXPECT_EQ(shot.pixel(0, 0), kWhite);
}

TEST_F(ViewPicture, APictureWiderThanTheWindowIsCutEquallyOnBothSides) {
    // 300 wide: columns 0..149 red, 150..299 blue; the window shows 200 of
    // them, 50 cut on each side, so the colour changes in its middle.
    CTmpView view(
        Write(EightBitFile(300, 120, {kRed, kBlue},
                           [](int x, int) { return static_cast<uint8_t>(x < 150 ? 0 : 1); })),
        nullptr);
    const QImage shot = Shot(view, 200, 200);
    EXPECT_EQ(shot.pixel(0, 100), kRed);
    EXPECT_EQ(shot.pixel(99, 100), kRed);
    EXPECT_EQ(shot.pixel(100, 100), kBlue);
    EXPECT_EQ(shot.pixel(199, 100), kBlue);
    EXPECT_EQ(shot.pixel(100, 39), kWhite);
    EXPECT_EQ(shot.pixel(100, 40), kBlue);
}

TEST_F(ViewPicture, TrueColourMissingAndBrokenPicturesLeaveTheBuiltInOne) {
    Bytes trueColour = EightBitFile(2, 2, {kRed}, [](int, int) { return uint8_t{0}; });
    trueColour[28] = 24;  // bits per pixel
    Bytes cut = EightBitFile(20, 10, {kRed}, [](int, int) { return uint8_t{0}; });
    cut.resize(cut.size() - 1);
    for (const QString& path : {Write(trueColour), dir_.filePath(QStringLiteral("none.bmp"))}) {
        CTmpView view(path, nullptr);
        EXPECT_FALSE(view.HasExternalPicture());
    }
    CTmpView view(Write(cut), nullptr);
    EXPECT_FALSE(view.HasExternalPicture());
    ASSERT_EQ(view.Picture().size(), QSize(CTmpView::kPictureWidth, CTmpView::kPictureHeight));
}

TEST_F(ViewPicture, ASmallWindowShowsTheMiddleOfTheBuiltInPicture) {
    CTmpView view(dir_.filePath(QStringLiteral("none.bmp")), nullptr);
    const QImage card = view.Picture().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage shot = Shot(view, 200, 150);
    // Origin (-100, -70): the window's corners show the picture's
    // (100, 70) and (299, 219).
    for (QPoint p : {QPoint(0, 0), QPoint(199, 149), QPoint(57, 91), QPoint(150, 20)}) {
        EXPECT_EQ(shot.pixel(p), card.pixel(p + QPoint(100, 70))) << p.x() << "," << p.y();
    }
    // And a large one shows all of it with white around.
    const QImage big = Shot(view, 500, 390);
    EXPECT_EQ(big.pixel(49, 49), kWhite);
    EXPECT_EQ(big.pixel(50, 50), card.pixel(0, 0));
    EXPECT_EQ(big.pixel(449, 339), card.pixel(399, 289));
    EXPECT_EQ(big.pixel(450, 340), kWhite);
}

TEST_F(ViewPicture, TheScrollRangeIsAFixedHundredPixels) {
    CTmpView view(dir_.filePath(QStringLiteral("none.bmp")), nullptr);
    view.resize(640, 480);
    view.show();
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
    view.resize(70, 80);
    const QSize client = view.viewport()->size();
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 100 - client.width());
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 100 - client.height());
    EXPECT_GT(view.verticalScrollBar()->maximum(), 0);
}

}  // namespace
}  // namespace quillon::ui
