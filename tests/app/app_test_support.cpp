// Driving the application in tests; see app_test_support.h.
#include "tests/app/app_test_support.h"

#include <QCursor>
#include <QFileDialog>
#include <QMouseEvent>
#include <QPushButton>

#include "platform/qt/qt_shared.h"
#include "platform/window/window.h"

namespace tonkelwerk_test {

QWidget* MainWidget() {
  return reinterpret_cast<QWidget*>(WindowNativeHandle(appState.window));
}

void MoveCursorTo(int x, int y) {
  QCursor::setPos(MainWidget()->mapToGlobal(QPoint(x, y)));
  RunFrames(1);
}

void PostMouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers) {
  QWidget* window = MainWidget();
  const QPoint global = QCursor::pos();
  const QPoint inWindow = window->mapFromGlobal(global);
  QWidget* target = window->childAt(inWindow);
  if (!target) target = window;
  const QPointF local = target->mapFromGlobal(QPointF(global));
  QCoreApplication::postEvent(
      target, new QMouseEvent(type, local, QPointF(global), button, buttons, modifiers));
}

ModalAnswerer::ModalAnswerer() {
  timer_.setInterval(20);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
  timer_.start();
}

ModalAnswerer::~ModalAnswerer() {
  timer_.stop();
}

void ModalAnswerer::Answer() {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || !modal->isVisible()) return;
  if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    boxes.push_back(
        {box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->buttons().size())});
    box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
    return;
  }
  if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
    ++fileDialogs;
    if (onFileDialog) {
      onFileDialog(dialog);
    } else {
      ADD_FAILURE() << "unexpected save dialog";
      dialog->reject();
    }
    return;
  }
  ADD_FAILURE() << "unexpected modal window " << modal->windowTitle().toStdString();
  modal->close();
}

const QImage& KnobImage(const KnobControl* knob) {
  static const QImage none;
  const QImage* image = QtImageFromHandle(knob->image);
  return image ? *image : none;
}

void AppTest::SetUp() {
  started_ = AppStart();
  ASSERT_TRUE(started_);
}

void AppTest::TearDown() {
  EXPECT_EQ(AppEnd(), 0);
}

}  // namespace tonkelwerk_test
