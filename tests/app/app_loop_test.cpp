// The event loop with real Qt events: the mouse state, the `pressed` rules,
// turning a knob over frames, button clicks, a drag as one undo step, and the
// context menu.
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "app/app_state.h"
#include "platform/window/window.h"
#include "tests/app/app_test_support.h"

using tonkelwerk::Knob;

namespace tonkelwerk_test {
namespace {

std::int32_t Value(KnobControl* knob) {
  return knob->methods->GetValue(knob);
}

// Runs passes until the queue is empty, without drawing more than one frame.
void HandlePending() {
  RunFrames(1);
}

using AppLoopTest = AppTest;

TEST_F(AppLoopTest, KeepsTheCursorPositionInTheClientAreaOrMinusOne) {
  MoveCursorTo(240, 40);
  EXPECT_EQ(appState.mouse.x, 240);
  EXPECT_EQ(appState.mouse.y, 40);
  MoveCursorTo(640, 155);  // the right and bottom edges still count
  EXPECT_EQ(appState.mouse.x, 640);
  EXPECT_EQ(appState.mouse.y, 155);
  MoveCursorTo(641, 40);
  EXPECT_EQ(appState.mouse.x, -1);
  EXPECT_EQ(appState.mouse.y, -1);
  MoveCursorTo(20, -1);
  EXPECT_EQ(appState.mouse.x, -1);
  EXPECT_EQ(appState.mouse.y, -1);
}

TEST_F(AppLoopTest, AMoveWithTheLeftButtonTurnsTheKnobOnceEveryFrame) {
  MoveCursorTo(240, 40);  // Freq, right half
  PostMouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
  HandlePending();
  EXPECT_EQ(appState.mouse.pressed, 0) << "pressing alone starts nothing";
  EXPECT_EQ(Value(AppKnob(Knob::kFreq)), 0);
  PostMouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
  ASSERT_TRUE(RunFrames(5));
  EXPECT_EQ(appState.mouse.pressed, 1);
  EXPECT_EQ(Value(AppKnob(Knob::kFreq)), 5) << "the mouse stands still: the knob turns on";
  PostMouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
  ASSERT_TRUE(RunFrames(3));
  EXPECT_EQ(appState.mouse.pressed, 0);
  EXPECT_EQ(Value(AppKnob(Knob::kFreq)), 5);
  EXPECT_EQ(KnobCaption(*AppKnob(Knob::kFreq), Value(AppKnob(Knob::kFreq))), "Freq:80");
}

TEST_F(AppLoopTest, ReportsMouseEventsWithTheirKeyStateWord) {
  MoveCursorTo(100, 120);
  PostMouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
  EXPECT_EQ(EventPoll(), kEventMouseMove);
  EXPECT_EQ(EventWordParam(), kKeyLeftButton | kKeyShift);
  PostMouse(QEvent::MouseMove, Qt::NoButton, Qt::RightButton | Qt::MiddleButton,
            Qt::ControlModifier);
  EXPECT_EQ(EventPoll(), kEventMouseMove);
  EXPECT_EQ(EventWordParam(), kKeyRightButton | kKeyMiddleButton | kKeyControl);
  PostMouse(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton);
  PostMouse(QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::NoButton);
  EXPECT_EQ(EventPoll(), kEventRightUp);
  EXPECT_EQ(EventPoll(), kEventMiddleUp);
  EXPECT_EQ(EventPoll(), kEventNone);
  EXPECT_EQ(EventPoll(), kEventNone) << "the poll never waits";
}

TEST_F(AppLoopTest, PressedFollowsMovesAndReleases) {
  struct Step {
    QEvent::Type type;
    Qt::MouseButton button;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
    std::int32_t pressedAfter;
  };
  const Step steps[] = {
      {QEvent::MouseMove, Qt::NoButton, Qt::LeftButton | Qt::RightButton, Qt::NoModifier, 0},
      {QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier, 0},
      {QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier, 0},
      {QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::NoModifier, 1},
      // With the left button and a modifier a drag goes on.
      {QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier, 1},
      {QEvent::MouseButtonRelease, Qt::RightButton, Qt::LeftButton, Qt::NoModifier, 0},
      {QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::NoModifier, 1},
      {QEvent::MouseButtonRelease, Qt::MiddleButton, Qt::LeftButton, Qt::NoModifier, 0},
      {QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::NoModifier, 1},
      {QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier, 0},
  };
  MoveCursorTo(300, 130);  // below the knobs: nothing turns meanwhile
  int index = 0;
  for (const Step& step : steps) {
    PostMouse(step.type, step.button, step.buttons, step.modifiers);
    HandlePending();
    EXPECT_EQ(appState.mouse.pressed, step.pressedAfter) << "step " << index;
    ++index;
  }
}

TEST_F(AppLoopTest, AMoveWithoutTheLeftButtonEndsADragWhoseReleaseWasMissed) {
  MoveCursorTo(240, 40);
  PostMouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
  ASSERT_TRUE(RunFrames(3));
  ASSERT_EQ(appState.mouse.pressed, 1);
  // The button went up outside the window; back inside, the mouse moves free.
  PostMouse(QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
  ASSERT_TRUE(RunFrames(4));
  EXPECT_EQ(appState.mouse.pressed, 0);
  EXPECT_EQ(Value(AppKnob(Knob::kFreq)), 3);
  PostMouse(QEvent::MouseMove, Qt::NoButton, Qt::RightButton, Qt::ShiftModifier);
  HandlePending();
  EXPECT_EQ(appState.mouse.pressed, 0);
}

TEST_F(AppLoopTest, AClickOnAButtonArrivesAsOneButtonEventNamingIt) {
  QWidget* window = MainWidget();
  auto* preview = qobject_cast<QPushButton*>(window->childAt(590, 22));
  ASSERT_NE(preview, nullptr);
  QTest::mouseClick(preview, Qt::LeftButton);
  std::vector<std::int32_t> codes;
  for (std::int32_t code = EventPoll(); code != kEventNone; code = EventPoll())
    codes.push_back(code);
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.back(), kEventButtonClicked);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), kEventLeftUp), 0)
      << "the click stands in for the release";
  EXPECT_EQ(EventButtonHandle(), appState.previewButton);
}

TEST_F(AppLoopTest, SpaceOnAFocusedButtonClicksIt) {
  auto* info = qobject_cast<QPushButton*>(MainWidget()->childAt(590, 132));
  ASSERT_NE(info, nullptr);
  info->setFocus();
  QTest::keyClick(info, Qt::Key_Space);
  std::int32_t code = kEventNone;
  while ((code = EventPoll()) != kEventNone && code != kEventButtonClicked) {
  }
  EXPECT_EQ(code, kEventButtonClicked);
  EXPECT_EQ(EventButtonHandle(), appState.infoButton);
}

TEST_F(AppLoopTest, TabAndShiftTabCycleTheFourButtons) {
  QWidget* window = MainWidget();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  auto* preview = qobject_cast<QPushButton*>(window->childAt(590, 22));
  preview->setFocus();
  const char* forward[] = {"Save wave", "Reset all", "Informations", "Preview"};
  for (const char* text : forward) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused->text(), text);
  }
  const char* backward[] = {"Informations", "Reset all", "Save wave", "Preview"};
  for (const char* text : backward) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused->text(), text);
  }
}

TEST_F(AppLoopTest, AButtonCommandEndsADrag) {
  MoveCursorTo(240, 40);
  PostMouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
  ASSERT_TRUE(RunFrames(2));
  ASSERT_EQ(appState.mouse.pressed, 1);
  auto* reset = qobject_cast<QPushButton*>(MainWidget()->childAt(590, 82));
  ASSERT_NE(reset, nullptr);
  reset->click();
  HandlePending();
  EXPECT_EQ(appState.mouse.pressed, 0);
  EXPECT_EQ(Value(AppKnob(Knob::kFreq)), 0) << "Reset all ran";
}

TEST_F(AppLoopTest, ADragFromPressToReleaseIsOneUndoStep) {
  const auto drag = [] {
    MoveCursorTo(240, 40);  // Freq, right half
    PostMouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    PostMouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
    ASSERT_TRUE(RunFrames(4));
    PostMouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    HandlePending();
  };
  drag();
  const std::int32_t first = Value(AppKnob(Knob::kFreq));
  ASSERT_GT(first, 1);
  drag();
  ASSERT_GT(Value(AppKnob(Knob::kFreq)), first);
  QTest::keyClick(MainWidget(), Qt::Key_Z, Qt::ControlModifier);
  HandlePending();
  EXPECT_EQ(Value(AppKnob(Knob::kFreq)), first) << "the second drag undone as a whole";
  QTest::keyClick(MainWidget(), Qt::Key_Z, Qt::ControlModifier);
  HandlePending();
  EXPECT_EQ(Value(AppKnob(Knob::kFreq)), 0) << "the first drag undone as a whole";
}

TEST_F(AppLoopTest, ARightClickOnTheKnobsOpensTheMenuOfTheEditCommands) {
  const auto openMenu = [](QPoint at) -> QMenu* {
    MoveCursorTo(at.x(), at.y());
    QWidget* window = MainWidget();
    QCoreApplication::postEvent(
        window, new QContextMenuEvent(QContextMenuEvent::Mouse, at, window->mapToGlobal(at)));
    HandlePending();
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
  };
  EXPECT_EQ(openMenu(QPoint(590, 140)), nullptr) << "none below the buttons";
  QMenu* menu = openMenu(QPoint(240, 40));
  ASSERT_NE(menu, nullptr);
  QStringList texts;
  QStringList enabled;
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    texts << action->text();
    if (action->isEnabled()) enabled << action->text().section('\t', 0, 0);
  }
  EXPECT_EQ(texts.join(", ").toStdString(),
            "Pickup\t1, Laser\t2, Explosion\t3, Powerup\t4, Hit\t5, Jump\t6, Blip\t7, "
            "Random\tR, Mutate\tM, Undo\tCtrl+Z, Redo\tCtrl+Shift+Z, "
            "Copy settings\tCtrl+C, Paste settings\tCtrl+V");
  EXPECT_FALSE(enabled.contains("Undo")) << "nothing to undo yet";
  EXPECT_FALSE(enabled.contains("Redo"));
  QTest::keyClick(menu, Qt::Key_Escape);
  HandlePending();
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "Escape closes it";
  EXPECT_EQ(appState.history.CanUndo(), false) << "and runs nothing";

  menu = openMenu(QPoint(60, 40));
  ASSERT_NE(menu, nullptr);
  menu->actions()[2]->trigger();  // Explosion
  menu->close();
  HandlePending();
  EXPECT_GE(Value(AppKnob(Knob::kRustle)), 150) << "the explosion preset ran";
  menu = openMenu(QPoint(60, 40));
  ASSERT_NE(menu, nullptr);
  const QList<QAction*> actions = menu->actions();
  const auto undo = std::find_if(actions.begin(), actions.end(),
                                 [](QAction* a) { return a->text().startsWith("Undo"); });
  ASSERT_NE(undo, actions.end());
  EXPECT_TRUE((*undo)->isEnabled()) << "the preset can be undone";
  (*undo)->trigger();
  menu->close();
  HandlePending();
  EXPECT_EQ(Value(AppKnob(Knob::kRustle)), 0);
}

}  // namespace
}  // namespace tonkelwerk_test
