// Driving the whole application in tests on the qt backend: start and end
// it, move the cursor, post mouse events into Qt, and answer the
// modal boxes and dialogs the program opens. Runs on Qt's offscreen platform
// with SDL's dummy (or disk) audio driver, so no display or sound card is
// needed.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/app_state.h"
#include "tests/app/app_driver.h"

namespace tonkelwerk_test {

// The main window's widget.
QWidget* MainWidget();

// Puts the cursor at (x, y) of the main window's client area and lets the
// program see the move that this makes (no button held).
void MoveCursorTo(int x, int y);

// Posts a mouse event at the cursor, as the platform would deliver it to the
// widget under it; `buttons` are the buttons held after the event.
void PostMouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// A message box as the user saw it.
struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttonCount = 0;
};

// Answers every modal box or dialog that opens while it lives (make it
// while the program runs): message boxes
// are recorded and closed with OK; file dialogs go to `onFileDialog` (which
// must close them). A dialog nobody expected fails the test and is closed.
class ModalAnswerer {
 public:
  ModalAnswerer();
  ~ModalAnswerer();
  ModalAnswerer(const ModalAnswerer&) = delete;
  ModalAnswerer& operator=(const ModalAnswerer&) = delete;

  std::function<void(QWidget*)> onFileDialog;
  std::vector<SeenBox> boxes;
  int fileDialogs = 0;

 private:
  void Answer();
  QTimer timer_;
};

// The picture of a knob's image.
const QImage& KnobImage(const KnobControl* knob);

// The program running for one test: started in SetUp, ended in TearDown
// (whose exit status must be 0).
class AppTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  bool started_ = false;
};

}  // namespace tonkelwerk_test
