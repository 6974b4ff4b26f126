// Message boxes, the save dialog and the working directory on Qt.
//
// Implements: application-modal QMessageBox with the icon of the style and
// one OK button (title and text go to standard error too for an error box,
// and instead of the box when no display could start); Qt's own QFileDialog for saving (the same dialog on every desktop),
// with the name filters of the pattern, no overwrite question and no added
// extension, starting in the folder of the initial path; the current
// directory with '/' as separator.
// Leaves out: other button sets of the message box, the open-file dialog.
// Depends on: Qt 6 Widgets through platform/qt/qt_shared.h; POSIX getcwd.
#include <unistd.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <climits>
#include <cstdio>
#include <string>

#include "platform/dialogs/dialogs.h"
#include "platform/qt/qt_shared.h"

namespace {

QMessageBox::Icon QtBoxIcon(std::uint32_t style) {
  switch (style & 0xF0) {
    case kBoxError:
      return QMessageBox::Critical;
    case kBoxWarning:
      return QMessageBox::Warning;
    case 0x20:
      return QMessageBox::Question;
    case 0x40:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// The owner of a box: the active window when it is the program's.
QWidget* QtBoxOwner() {
  return QApplication::activeWindow();
}

// "Name|*.a;*.b|..." as Qt's name filters "Name (*.a *.b)"; a name that
// already ends in its patterns in brackets stays as it is.
QStringList QtNameFilters(std::string_view pattern) {
  const QStringList parts = QtText(pattern).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
    const QString bracketed = QStringLiteral("(%1)").arg(patterns);
    filters << (parts[i].endsWith(bracketed) ? parts[i]
                                             : QStringLiteral("%1 %2").arg(parts[i], bracketed));
  }
  return filters;
}

bool QtNameAllowed(const QString& name) {
  if (name.isEmpty()) return false;
  for (const QChar c : name)
    if (c.unicode() < 0x20 || QStringLiteral("\"*/:<>?\\|").contains(c)) return false;
  return true;
}

}  // namespace

std::int32_t MessageBoxShow(std::string_view title, std::string_view text, std::uint32_t style) {
  if (!QtAppRunning() || (style & 0xF0) == kBoxError)
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                 static_cast<int>(text.size()), text.data());
  if (!QtAppRunning()) return 0;
  QMessageBox box(QtBoxIcon(style), QtText(title), QtText(text), QMessageBox::Ok, QtBoxOwner());
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
  return 1;
}

std::string SaveDialogRun(std::string_view title, std::string_view initialPath,
                          std::string_view pattern, std::int32_t patternIndex) {
  if (!QtAppRunning()) return "";
  QString folder;
  QString name = QtText(initialPath);
  const qsizetype split = name.lastIndexOf(QLatin1Char('/'));
  if (split > 0) {
    folder = name.left(split);
    name = name.mid(split + 1);
  }
  QFileDialog dialog(QtBoxOwner(), QtText(title), folder);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
  dialog.setWindowModality(Qt::ApplicationModal);
  const QStringList filters = QtNameFilters(pattern);
  dialog.setNameFilters(filters);
  if (patternIndex >= 0 && patternIndex < filters.size())
    dialog.selectNameFilter(filters[patternIndex]);
  if (QtNameAllowed(name)) dialog.selectFile(name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
  return dialog.selectedFiles().first().toStdString();
}

std::string WorkingDirectory() {
  char path[PATH_MAX];
  if (!getcwd(path, sizeof path)) return "";
  std::string directory(path);
  if (directory.back() != '/') directory += '/';
  return directory;
}
