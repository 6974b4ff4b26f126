// The knob control: its angle, its caption and how it turns under the mouse,
// on the program's own knobs.
#include "knob/knob.h"

#include "app/app_state.h"
#include "tests/app/app_test_support.h"

using tonkelwerk::Knob;

namespace tonkelwerk_test {
namespace {

std::int32_t Value(KnobControl* knob) {
  return knob->methods->GetValue(knob);
}
std::int32_t Set(KnobControl* knob, std::int32_t angle) {
  return knob->methods->SetValue(knob, angle);
}
void Update(KnobControl* knob) {
  knob->methods->Update(knob);
}

class KnobTest : public AppTest {
 protected:
  // Holds the left button at (x, y) of the screen.
  void Hold(std::int32_t x, std::int32_t y) { appState.mouse = {x, y, 1}; }
};

TEST_F(KnobTest, CreateKnobFillsTheMethodTableInSlotOrder) {
  KnobControl* knob = CreateKnob();
  ASSERT_NE(knob, nullptr);
  ASSERT_NE(knob->methods, nullptr);
  EXPECT_EQ(knob->methods->Update, AppKnob(Knob::kStart)->methods->Update);
  EXPECT_NE(knob->methods, AppKnob(Knob::kStart)->methods) << "every knob has its own table";
  EXPECT_EQ(knob->value, 0);
  EXPECT_EQ(knob->image, 0);
  EXPECT_EQ(knob->methods->Destroy(knob), 0);
}

TEST_F(KnobTest, SetValueAcceptsZeroTo360AndRefusesTheRest) {
  KnobControl* knob = AppKnob(Knob::kFreq);
  EXPECT_EQ(Set(knob, 360), 1);
  EXPECT_EQ(Value(knob), 360);
  const QImage at360 = KnobImage(knob).copy();
  EXPECT_EQ(Set(knob, 361), 0);
  EXPECT_EQ(Set(knob, -1), 0);
  EXPECT_EQ(Value(knob), 360);
  EXPECT_EQ(KnobImage(knob), at360) << "a refused angle leaves the image alone";
  EXPECT_EQ(Set(knob, 0), 1);
  EXPECT_EQ(Value(knob), 0);
}

TEST_F(KnobTest, CaptionIsTheLabelAndTheScaledAngleRoundedHalfToEven) {
  EXPECT_EQ(KnobCaption(*AppKnob(Knob::kStart), 20), "Start:6");  // 5.5000001
  EXPECT_EQ(KnobCaption(*AppKnob(Knob::kStart), 5), "Start:1");
  EXPECT_EQ(KnobCaption(*AppKnob(Knob::kCutter), 20), "Cutter:1");  // 0.55
  EXPECT_EQ(KnobCaption(*AppKnob(Knob::kCutter), 10), "Cutter:0");
  EXPECT_EQ(KnobCaption(*AppKnob(Knob::kCutter), 360), "Cutter:10");
  EXPECT_EQ(KnobCaption(*AppKnob(Knob::kFreq), 360), "Freq:5760");
  EXPECT_EQ(KnobCaption(*AppKnob(Knob::kRustle), 360), "Rustle:23040");
  EXPECT_EQ(KnobCaption(*AppKnob(Knob::kLen), 360), "Len.:2880");
}

TEST_F(KnobTest, SetupKeepsTheFirst32CharactersOfALongLabel) {
  KnobControl* knob = CreateKnob();
  knob->methods->Setup(knob, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 0, 0, 70, 0, &appState.mouse,
                       appState.labelFont, 1.0f, 1);
  EXPECT_EQ(KnobCaption(*knob, 7), "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345:7");
  knob->methods->Destroy(knob);
}

TEST_F(KnobTest, SetupWithAnAngleOutOfRangeKeepsItButLeavesTheImageBlack) {
  KnobControl* knob = CreateKnob();
  knob->methods->Setup(knob, "Odd", 0, 0, 70, 400, &appState.mouse, appState.labelFont, 1.0f, 1);
  EXPECT_EQ(Value(knob), 400);
  const QImage& image = KnobImage(knob);
  ASSERT_FALSE(image.isNull());
  for (int y = 0; y < image.height(); y += 7)
    for (int x = 0; x < image.width(); x += 7) ASSERT_EQ(image.pixel(x, y), qRgb(0, 0, 0));
  knob->methods->Destroy(knob);
}

// The Start knob: x 10, y 10, size 70, step 5.
TEST_F(KnobTest, HeldOnTheLeftHalfTurnsDownOneStepPerUpdate) {
  KnobControl* knob = AppKnob(Knob::kStart);
  for (const QPoint at : {QPoint(10, 10), QPoint(44, 80), QPoint(10, 80), QPoint(44, 10)}) {
    Set(knob, 100);
    Hold(at.x(), at.y());
    Update(knob);
    EXPECT_EQ(Value(knob), 95) << at.x() << "," << at.y();
  }
}

TEST_F(KnobTest, HeldOnTheRightHalfTurnsUpOneStepPerUpdate) {
  KnobControl* knob = AppKnob(Knob::kStart);
  for (const QPoint at : {QPoint(46, 10), QPoint(80, 80), QPoint(80, 10), QPoint(46, 80)}) {
    Set(knob, 100);
    Hold(at.x(), at.y());
    Update(knob);
    EXPECT_EQ(Value(knob), 105) << at.x() << "," << at.y();
  }
}

TEST_F(KnobTest, TheMiddleColumnRunsBothSteps) {
  KnobControl* knob = AppKnob(Knob::kStart);
  Set(knob, 100);
  Hold(45, 40);
  Update(knob);
  EXPECT_EQ(Value(knob), 100);
  // At 0 the step down is refused and the step up is taken.
  Set(knob, 0);
  Update(knob);
  EXPECT_EQ(Value(knob), 5);
}

TEST_F(KnobTest, OutsideTheHitBoxNothingTurns) {
  KnobControl* knob = AppKnob(Knob::kStart);
  for (const QPoint at :
       {QPoint(9, 40), QPoint(81, 40), QPoint(40, 81), QPoint(40, 9), QPoint(-1, -1)}) {
    Set(knob, 100);
    Hold(at.x(), at.y());
    Update(knob);
    EXPECT_EQ(Value(knob), 100) << at.x() << "," << at.y();
  }
}

TEST_F(KnobTest, NotPressedNothingTurnsAnywhere) {
  KnobControl* knob = AppKnob(Knob::kStart);
  Set(knob, 100);
  appState.mouse = {20, 20, 0};
  Update(knob);
  appState.mouse = {70, 20, 0};
  Update(knob);
  EXPECT_EQ(Value(knob), 100);
}

TEST_F(KnobTest, TurningStopsAtZeroAndAt360WithoutRedrawing) {
  KnobControl* knob = AppKnob(Knob::kStart);
  Set(knob, 10);
  Hold(20, 40);
  for (int frame = 0; frame < 5; ++frame) Update(knob);
  EXPECT_EQ(Value(knob), 0);
  const QImage atZero = KnobImage(knob).copy();
  Set(knob, 355);
  Hold(70, 40);
  for (int frame = 0; frame < 5; ++frame) Update(knob);
  EXPECT_EQ(Value(knob), 360);
  KnobControl* freq = AppKnob(Knob::kFreq);  // step 1
  Set(freq, 2);
  Hold(200, 40);
  for (int frame = 0; frame < 5; ++frame) Update(freq);
  EXPECT_EQ(Value(freq), 0);
  Set(knob, 0);
  EXPECT_EQ(KnobImage(knob), atZero) << "the same angle gives the same image";
}

TEST_F(KnobTest, AStepThatWouldLeaveTheRangeIsRefusedWhole) {
  KnobControl* knob = AppKnob(Knob::kStart);
  Set(knob, 3);
  Hold(20, 40);
  Update(knob);
  EXPECT_EQ(Value(knob), 3);
  Set(knob, 358);
  Hold(70, 40);
  Update(knob);
  EXPECT_EQ(Value(knob), 358);
}

TEST_F(KnobTest, OnlyTheKnobUnderThePointerTurns) {
  Hold(240, 40);  // the Freq knob's right half
  for (KnobControl* knob : appState.knobs) Update(knob);
  for (KnobControl* knob : appState.knobs)
    EXPECT_EQ(Value(knob), knob == AppKnob(Knob::kFreq) ? 1 : 0) << knob->x;
}

}  // namespace
}  // namespace tonkelwerk_test
