// The knob's image at the pixel level: the marker's place for each quarter
// turn, the cleared background and the caption centred under the dial.
#include <QImage>
#include <cmath>

#include "app/app_state.h"
#include "platform/qt/qt_shared.h"
#include "platform/screen/screen.h"
#include "tests/app/app_test_support.h"

using tonkelwerk::Knob;

namespace tonkelwerk_test {
namespace {

QRgb Face() {
  const std::uint32_t c = appState.backgroundColour;
  return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

bool Dark(QRgb pixel) {
  return qGray(pixel) < 100;
}

// From the marker's expected centre, the distance to the first dark pixel in
// the direction (dx, dy): the marker's black ring (the dial's white rings
// cross the marker's inside).
int RingDistance(const QImage& image, QPoint centre, int dx, int dy) {
  for (int step = 1; step < 15; ++step) {
    const QPoint at = centre + QPoint(dx * step, dy * step);
    if (Dark(image.pixel(at))) return step;
  }
  return -1;
}

class KnobPixelsTest : public AppTest {
 protected:
  const QImage& Render(std::int32_t angle) {
    KnobControl* knob = AppKnob(Knob::kFreq);
    EXPECT_EQ(knob->methods->SetValue(knob, angle), 1);
    return KnobImage(knob);
  }
};

TEST_F(KnobPixelsTest, TheMarkerSitsWhereTheAngleSaysAtSize70) {
  struct Case {
    std::int32_t angle;
    QPoint centre;
  };
  const Case cases[] = {{0, {35, 63}}, {90, {7, 35}}, {180, {35, 7}}, {270, {63, 35}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.angle);
    const QImage& image = Render(c.angle);
    ASSERT_EQ(image.size(), QSize(70, 90));
    EXPECT_EQ(image.pixel(c.centre), Face()) << "the marker is a ring, hollow inside";
    const int left = RingDistance(image, c.centre, -1, 0);
    const int right = RingDistance(image, c.centre, 1, 0);
    const int up = RingDistance(image, c.centre, 0, -1);
    const int down = RingDistance(image, c.centre, 0, 1);
    for (int distance : {left, right, up, down}) {
      EXPECT_GE(distance, 6);
      EXPECT_LE(distance, 8);
    }
    // The ring's middle lies within a pixel of the expected centre.
    EXPECT_LE(std::abs(right - left), 2);
    EXPECT_LE(std::abs(down - up), 2);
  }
}

TEST_F(KnobPixelsTest, ZeroAnd360DrawTheSameImage) {
  const QImage atZero = Render(0).copy();
  EXPECT_NE(Render(90), atZero);
  const QImage at360 = Render(360).copy();
  // The captions differ (Freq:0, Freq:5760); the dials do not.
  EXPECT_EQ(at360.copy(0, 0, 70, 70), atZero.copy(0, 0, 70, 70));
}

TEST_F(KnobPixelsTest, EachRenderClearsTheWholeImageFirst) {
  const QImage fresh = Render(0).copy();
  Render(90);
  Render(270);
  EXPECT_EQ(Render(0), fresh) << "no trace of the markers drawn before";
  const QImage& image = Render(0);
  for (const QPoint corner : {QPoint(0, 0), QPoint(69, 0), QPoint(0, 89), QPoint(69, 89)})
    EXPECT_EQ(image.pixel(corner), Face()) << corner.x() << "," << corner.y();
  // The dial: a black outer ring at its edge, white just inside it.
  EXPECT_TRUE(Dark(image.pixel(0, 35)));
  EXPECT_EQ(image.pixel(2, 35), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(35, 35), Face()) << "the dial is hollow";
}

// The columns that hold dark caption pixels, below the dial.
std::pair<int, int> CaptionColumns(const QImage& image) {
  int left = image.width();
  int right = -1;
  for (int y = 72; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (Dark(image.pixel(x, y))) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  return {left, right};
}

TEST_F(KnobPixelsTest, TheCaptionIsCentredUnderTheDial) {
  for (std::int32_t angle : {0, 7, 360}) {
    SCOPED_TRACE(angle);
    const QImage& image = Render(angle);
    const auto [left, right] = CaptionColumns(image);
    ASSERT_LT(left, right) << "a caption is drawn";
    // Centred on column 35 within the rounding of the half width.
    EXPECT_LE(std::abs((left + right + 1) / 2 - 35), 2) << left << ".." << right;
  }
}

TEST_F(KnobPixelsTest, AWiderCaptionGrowsToBothSides) {
  const auto [narrowLeft, narrowRight] = CaptionColumns(Render(1));  // Freq:16
  const auto [wideLeft, wideRight] = CaptionColumns(Render(360));    // Freq:5760
  EXPECT_LT(wideLeft, narrowLeft);
  EXPECT_GT(wideRight, narrowRight);
}

// On a screen of two device pixels per pixel the images hold every device
// pixel, so lines and text stay sharp; none may be left black at the edges.
TEST(KnobHiDpiTest, ImagesCoverEveryDevicePixelAtScaleTwo) {
  setenv("QT_SCALE_FACTOR", "2", 1);
  const bool started = AppStart();
  unsetenv("QT_SCALE_FACTOR");
  ASSERT_TRUE(started);
  const QImage& image = KnobImage(AppKnob(Knob::kFreq));
  EXPECT_EQ(image.devicePixelRatio(), 2.0);
  ASSERT_EQ(image.size(), QSize(140, 180));
  const QRgb face = Face();
  for (int x = 0; x < 140; ++x) EXPECT_EQ(image.pixel(x, 179), face) << "bottom row, x " << x;
  for (int y = 0; y < 40; ++y) {
    EXPECT_EQ(image.pixel(0, y), face) << "left column, y " << y;
    EXPECT_EQ(image.pixel(139, y), face) << "right column, y " << y;
  }
  // The dial's outline reaches the left edge halfway down, in black.
  EXPECT_TRUE(Dark(image.pixel(0, 70)) || Dark(image.pixel(1, 70)));
  EXPECT_EQ(AppEnd(), 0);
}

// Drawing primitives on an image of their own.
class DrawingTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    image_ = SpriteNew(kNewObject, 20, 10);
    ASSERT_NE(image_, 0);
  }
  void TearDown() override {
    SpriteRelease(image_);
    AppTest::TearDown();
  }
  const QImage& Picture() { return *QtImageFromHandle(image_); }
  ImageHandle image_ = 0;
};

TEST_F(DrawingTest, ANewImageIsBlack) {
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(Picture().pixel(x, y), qRgb(0, 0, 0));
}

TEST_F(DrawingTest, RectanglesLeaveOutTheirRightAndBottomEdges) {
  ASSERT_NE(DrawingBegin(image_), 0);
  DrawingRectangle(2, 3, 4, 5, 0x0000FF);  // red, filled
  DrawingSetStyle(kStyleOutline);
  DrawingRectangle(10, 1, 6, 6, 0x00FF00);
  DrawingEnd();
  const QImage& p = Picture();
  EXPECT_EQ(p.pixel(2, 3), qRgb(255, 0, 0));
  EXPECT_EQ(p.pixel(5, 7), qRgb(255, 0, 0));
  EXPECT_EQ(p.pixel(4, 5), qRgb(255, 0, 0)) << "filled";
  EXPECT_EQ(p.pixel(6, 7), qRgb(0, 0, 0));
  EXPECT_EQ(p.pixel(5, 8), qRgb(0, 0, 0));
  EXPECT_EQ(p.pixel(10, 1), qRgb(0, 255, 0));
  EXPECT_EQ(p.pixel(15, 6), qRgb(0, 255, 0));
  EXPECT_EQ(p.pixel(12, 3), qRgb(0, 0, 0)) << "outline only";
  EXPECT_EQ(p.pixel(16, 6), qRgb(0, 0, 0));
}

TEST_F(DrawingTest, ACircleOfRadiusOneIsATwoByTwoSquareFromTheCentre) {
  ASSERT_NE(DrawingBegin(image_), 0);
  DrawingCircle(5, 5, 1, 0xFFFFFF);
  DrawingEnd();
  int white = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) white += Picture().pixel(x, y) == qRgb(255, 255, 255);
  EXPECT_EQ(white, 4);
  for (const QPoint at : {QPoint(5, 5), QPoint(6, 5), QPoint(5, 6), QPoint(6, 6)})
    EXPECT_EQ(Picture().pixel(at), qRgb(255, 255, 255));
}

TEST_F(DrawingTest, TextOnAnOpaqueBackgroundAndItsWidth) {
  ASSERT_NE(DrawingBegin(image_), 0);
  DrawingSelectFont(appState.labelFont);
  EXPECT_EQ(DrawingTextWidth(""), 0);
  EXPECT_EQ(DrawingText(3, 1, "", 0, 0xFFFFFF), 3) << "an empty text draws nothing";
  const std::int32_t width = DrawingTextWidth("ii");
  EXPECT_GT(width, 0);
  EXPECT_EQ(DrawingText(1, 0, "ii", 0x000000, 0x00FF00), 1 + width);
  DrawingEnd();
  EXPECT_EQ(Picture().pixel(1, 0), qRgb(0, 255, 0)) << "the background behind the text";
  EXPECT_EQ(Picture().pixel(1 + width, 0), qRgb(0, 0, 0));
  EXPECT_EQ(DrawingTextWidth("ii"), 0) << "no drawing open";
}

TEST_F(DrawingTest, BeginWhileAnotherDrawingIsOpenFailsAndEndsIt) {
  ASSERT_NE(DrawingBegin(image_), 0);
  EXPECT_EQ(DrawingBegin(AppKnob(Knob::kStart)->image), 0);
  EXPECT_EQ(DrawingTextWidth("x"), 0) << "no drawing is open any more";
  EXPECT_EQ(DrawingBegin(0), 0);
}

TEST_F(DrawingTest, SpriteShowClipsAtTheScreenEdges) {
  ASSERT_NE(DrawingBegin(image_), 0);
  DrawingRectangle(0, 0, 20, 10, 0xFFFFFF);
  DrawingRectangle(0, 0, 5, 10, 0x0000FF);  // columns 0..4 red
  DrawingEnd();
  ScreenClear(0x000000);
  SpriteShow(image_, -3, 0);        // columns 3..19 land on 0..16
  SpriteShow(image_, 540 - 2, 20);  // columns 0..1 only
  SpriteShow(image_, 540, 40);      // nothing
  SpriteShow(image_, -20, 40);      // nothing
  ScreenFlip();
  const QImage shown = MainWidget()->grab().toImage();
  EXPECT_EQ(shown.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(shown.pixel(1, 0), qRgb(255, 0, 0));
  EXPECT_EQ(shown.pixel(2, 0), qRgb(255, 255, 255));
  EXPECT_EQ(shown.pixel(16, 9), qRgb(255, 255, 255));
  EXPECT_EQ(shown.pixel(17, 0), qRgb(0, 0, 0));
  EXPECT_EQ(shown.pixel(538, 20), qRgb(255, 0, 0));
  EXPECT_EQ(shown.pixel(539, 29), qRgb(255, 0, 0));
  EXPECT_NE(shown.pixel(540, 20), qRgb(255, 0, 0)) << "beyond the screen";
  EXPECT_EQ(shown.pixel(0, 40), qRgb(0, 0, 0));
}

TEST_F(DrawingTest, PresentsAreAtLeastOneSixtyFirstOfASecondApart) {
  ScreenFlip();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 6; ++i) ScreenFlip();
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, std::chrono::microseconds(6 * 1000000 / 61));
  // Generous: a loaded machine may delay a present, but pacing must not stall.
  EXPECT_LT(took, std::chrono::seconds(1)) << "paced, not stalled";
}

}  // namespace
}  // namespace tonkelwerk_test
