// Start-up of the whole program: the window, its buttons, the six knobs at
// 0 with their captions, and the close request.
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cstdlib>
#include <string>

#include "app/app_state.h"
#include "platform/window/window.h"
#include "tests/app/app_test_support.h"

using tonkelwerk::Knob;

namespace tonkelwerk_test {
namespace {

using AppStartupTest = AppTest;

TEST_F(AppStartupTest, OpensTheWindowWithItsTitleAndFixedClientSize) {
  QWidget* window = MainWidget();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Tonkelwerk 1.00");
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->size(), QSize(640, 155));
  EXPECT_EQ(window->minimumSize(), QSize(640, 155));
  EXPECT_EQ(window->maximumSize(), QSize(640, 155));
  EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
}

TEST_F(AppStartupTest, CentresTheWindowOnTheScreen) {
  const QRect screen = MainWidget()->screen()->geometry();
  const QPoint centre = MainWidget()->frameGeometry().center();
  EXPECT_LE(std::abs(centre.x() - screen.center().x()), 1);
  EXPECT_LE(std::abs(centre.y() - screen.center().y()), 1);
}

TEST_F(AppStartupTest, LaysTheFourButtonsOutInTheirColumn) {
  struct Expected {
    ObjectId button;
    const char* text;
    QRect place;
  };
  const Expected buttons[] = {
      {appState.previewButton, "Preview", {550, 10, 80, 25}},
      {appState.saveButton, "Save wave", {550, 40, 80, 25}},
      {appState.resetButton, "Reset all", {550, 70, 80, 25}},
      {appState.infoButton, "Informations", {550, 120, 80, 25}},
  };
  for (const Expected& expected : buttons) {
    EXPECT_NE(expected.button, 0) << expected.text;
    auto* button = qobject_cast<QPushButton*>(MainWidget()->childAt(expected.place.center()));
    ASSERT_NE(button, nullptr) << expected.text;
    EXPECT_EQ(button->text(), expected.text);
    EXPECT_EQ(button->geometry(), expected.place);
    EXPECT_EQ(button->font(), QApplication::font(button)) << "the platform GUI font";
  }
}

TEST_F(AppStartupTest, SetsTheSixKnobsUpAtZeroWithTheirCaptions) {
  struct Expected {
    KnobControl* knob;
    const char* caption;
    std::int32_t x;
    float scale;
    std::int32_t step;
  };
  const Expected knobs[] = {
      {AppKnob(Knob::kStart), "Start:0", 10, 0.275f, 5},
      {AppKnob(Knob::kEnd), "End:0", 100, 0.275f, 5},
      {AppKnob(Knob::kFreq), "Freq:0", 190, 16.0f, 1},
      {AppKnob(Knob::kRustle), "Rustle:0", 280, 64.0f, 1},
      {AppKnob(Knob::kCutter), "Cutter:0", 370, 0.0275f, 5},
      {AppKnob(Knob::kLen), "Len.:0", 460, 8.0f, 1},
  };
  for (const Expected& expected : knobs) {
    ASSERT_NE(expected.knob, nullptr);
    SCOPED_TRACE(expected.caption);
    EXPECT_EQ(expected.knob->methods->GetValue(expected.knob), 0);
    EXPECT_EQ(KnobCaption(*expected.knob, 0), expected.caption);
    EXPECT_EQ(expected.knob->x, expected.x);
    EXPECT_EQ(expected.knob->y, 10);
    EXPECT_EQ(expected.knob->size, 70);
    EXPECT_EQ(expected.knob->scale, expected.scale);
    EXPECT_EQ(expected.knob->step, expected.step);
    EXPECT_EQ(expected.knob->mouse, &appState.mouse);
    EXPECT_EQ(expected.knob->background, appState.backgroundColour);
    EXPECT_EQ(KnobImage(expected.knob).deviceIndependentSize().toSize(), QSize(70, 90));
  }
}

TEST_F(AppStartupTest, FramesShowTheKnobsOnTheScreenOverTheButtonFace) {
  ASSERT_TRUE(RunFrames(2));
  const QImage shown = MainWidget()->grab().toImage();
  const QRgb face = qRgb(appState.backgroundColour & 0xFF, (appState.backgroundColour >> 8) & 0xFF,
                         (appState.backgroundColour >> 16) & 0xFF);
  // Between the knobs and below them the screen is cleared to the face.
  EXPECT_EQ(shown.pixel(85, 50), face);
  EXPECT_EQ(shown.pixel(300, 140), face);
  // Each knob's image sits at its place: the dial's black outline at its
  // left edge, the marker below its centre.
  for (KnobControl* knob : appState.knobs) {
    EXPECT_EQ(shown.pixel(knob->x, knob->y + 35), qRgb(0, 0, 0)) << knob->x;
    EXPECT_EQ(shown.pixel(knob->x + 35, knob->y + 35 + 28 - 7), qRgb(0, 0, 0)) << knob->x;
  }
}

// The key goes where the platform would send it: to the focus widget.
void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* focus = QApplication::focusWidget();
  QTest::keyClick(focus ? focus : MainWidget(), key, modifiers);
  RunFrames(2);
}

TEST_F(AppStartupTest, NoButtonHasTheFocusUntilTheFirstTabWhichReachesPreview) {
  ASSERT_TRUE(RunFrames(2));
  ASSERT_TRUE(MainWidget()->isActiveWindow());
  EXPECT_EQ(qobject_cast<QPushButton*>(QApplication::focusWidget()), nullptr);
  ModalAnswerer answerer;
  PressKey(Qt::Key_Space);
  EXPECT_TRUE(answerer.boxes.empty()) << "Space clicked a button";
  PressKey(Qt::Key_Tab);
  const auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
  ASSERT_NE(focused, nullptr);
  EXPECT_EQ(focused->text(), "Preview");
  PressKey(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget()->property("text"), "Save wave");
  PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget()->property("text"), "Preview");
}

TEST_F(AppStartupTest, CloseRequestEndsTheLoopAndLeavesTheWindowOpen) {
  ASSERT_TRUE(RunFrames(1));
  MainWidget()->close();
  EXPECT_TRUE(MainWidget()->isVisible()) << "the request alone closes nothing";
  bool running = true;
  for (int pass = 0; pass < 10 && running; ++pass) running = AppLoopPass();
  EXPECT_FALSE(running);
  EXPECT_EQ(appState.lastEvent, kEventClose);
}

TEST(AppLifecycleTest, EndsWithExitStatusZeroAndStartsAgain) {
  ASSERT_TRUE(AppStart());
  EXPECT_EQ(AppEnd(), 0);
  EXPECT_EQ(MainWidget(), nullptr);
  ASSERT_TRUE(AppStart());
  EXPECT_EQ(AppKnob(Knob::kFreq)->methods->GetValue(AppKnob(Knob::kFreq)), 0);
  EXPECT_EQ(AppEnd(), 0);
}

}  // namespace
}  // namespace tonkelwerk_test
