// The test hook of the qt backend; see app_driver.h.
//
// Implements: clicks through QPushButton::click, which emits what a mouse
// click emits; Ctrl+C, Ctrl+V and the command keys as QTest key presses on
// the main window; wheel turns as QWheelEvents sent to the widget under the
// cursor, as the platform would;
// the dialog answers through the support code's ModalAnswerer, which looks
// at Qt's active modal widget every 20 ms while a box or dialog runs its
// own event loop; knob pictures from the QImage behind the image handle.
// Leaves out: native dialogs (the program uses Qt's own).
// Depends on: Qt 6 Widgets and Test, tests/app/app_test_support.h.
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <optional>

#include "app/app_state.h"
#include "platform/window/window.h"
#include "tests/app/app_driver.h"
#include "tests/app/app_test_support.h"

namespace tonkelwerk_test {

const std::array<const char*, 3> kRequirementsShown = {"Linux desktop (X11 or Wayland)",
                                                       "Sound device", "Qt 6 and SDL 2"};

void PressButton(std::string_view label) {
  QPushButton* found = nullptr;
  for (auto* button : MainWidget()->findChildren<QPushButton*>())
    if (button->text() == QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())))
      found = button;
  ASSERT_NE(found, nullptr) << "no button " << label;
  found->click();
  RunUntilEvent(kEventButtonClicked);
}

void PressCtrl(char key) {
  // Qt's letter keys are the codes of the capital letters.
  QTest::keyClick(MainWidget(), static_cast<Qt::Key>(key), Qt::ControlModifier);
  RunUntilEvent(key == 'C' ? kEventCopy : kEventPaste);
}

void PressKey(char key, std::uint32_t modifiers) {
  Qt::KeyboardModifiers held = Qt::NoModifier;
  if (modifiers & kKeyControl) held |= Qt::ControlModifier;
  if (modifiers & kKeyShift) held |= Qt::ShiftModifier;
  QTest::keyClick(MainWidget(), static_cast<Qt::Key>(key), held);
  RunUntilEvent(kEventCommand);
}

void TurnWheel(int x, int y, int notches, bool shift) {
  MoveCursorTo(x, y);
  QWidget* window = MainWidget();
  QWidget* target = window->childAt(x, y);
  if (!target) target = window;
  const QPointF local = target->mapFrom(window, QPointF(x, y));
  QWheelEvent wheel(local, target->mapToGlobal(local), QPoint(), QPoint(0, notches * kWheelNotch),
                    Qt::NoButton, shift ? Qt::ShiftModifier : Qt::NoModifier, Qt::NoScrollPhase,
                    false);
  QApplication::sendEvent(target, &wheel);
  RunUntilEvent(kEventWheel);
}

std::vector<std::uint8_t> KnobPicture(const KnobControl* knob) {
  const QImage& image = KnobImage(knob);
  const uchar* bits = image.constBits();
  return std::vector<std::uint8_t>(bits, bits + image.sizeInBytes());
}

namespace {

BoxIcon IconOf(QMessageBox::Icon icon) {
  switch (icon) {
    case QMessageBox::NoIcon:
      return BoxIcon::kNone;
    case QMessageBox::Warning:
      return BoxIcon::kWarning;
    case QMessageBox::Critical:
      return BoxIcon::kError;
    default:
      return BoxIcon::kOther;
  }
}

}  // namespace

struct DialogAnswers::Backend {
  ModalAnswerer answerer;
  std::vector<ShownSaveDialog> dialogs;
  bool answerSet = false;
  std::optional<std::string> typed;  // none: cancel
};

DialogAnswers::DialogAnswers() : backend_(std::make_unique<Backend>()) {
  Backend* backend = backend_.get();
  backend->answerer.onFileDialog = [backend](QWidget* widget) {
    auto* dialog = static_cast<QFileDialog*>(widget);
    ShownSaveDialog shown{
        dialog->windowTitle().toStdString(), {}, dialog->directory().absolutePath().toStdString()};
    for (const QString& filter : dialog->nameFilters())
      shown.fileTypes.push_back(filter.toStdString());
    backend->dialogs.push_back(shown);
    if (!backend->answerSet) {
      ADD_FAILURE() << "unexpected save dialog";
      dialog->reject();
    } else if (!backend->typed) {
      dialog->reject();
    } else {
      // As a user types the whole path into the name field and presses Save.
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      ASSERT_NE(name, nullptr);
      name->setText(QString::fromStdString(*backend->typed));
      static_cast<QDialog*>(dialog)->accept();
    }
  };
}

DialogAnswers::~DialogAnswers() = default;

void DialogAnswers::TypeInSaveDialog(const std::string& typed) {
  backend_->answerSet = true;
  backend_->typed = typed;
}

void DialogAnswers::CancelSaveDialog() {
  backend_->answerSet = true;
  backend_->typed.reset();
}

std::vector<ShownBox> DialogAnswers::Boxes() const {
  std::vector<ShownBox> boxes;
  for (const SeenBox& box : backend_->answerer.boxes)
    boxes.push_back(
        {box.title.toStdString(), box.text.toStdString(), IconOf(box.icon), box.buttonCount});
  return boxes;
}

std::vector<ShownSaveDialog> DialogAnswers::SaveDialogs() const {
  return backend_->dialogs;
}

}  // namespace tonkelwerk_test
