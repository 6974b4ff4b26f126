// The qt backend's QApplication: started once a display is known to work.
//
// Implements: QtAppStart/QtAppRunning/QtAppStop (a missing display is found
// in a child process, since Qt aborts on it), the check of native window
// handles and the text conversion shared by the window, screen and dialogs
// services. Qt's own user settings are pointed where nothing can be written:
// the program keeps no state between runs.
// Leaves out: command-line options (the program takes none).
// Depends on: Qt 6 Widgets; POSIX fork/waitpid for the display check.
#include "platform/qt/qt_shared.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <QSettings>
#include <QWidget>
#include <cstdlib>
#include <memory>

namespace {

// QApplication keeps references to argc and argv for its whole life.
int qtArgc = 1;
char qtProgramName[] = "tonkelwerk";
char* qtArgv[] = {qtProgramName, nullptr};

std::unique_ptr<QApplication> qtApp;

// A folder that cannot exist: below a device file.
const QString kQtNoSettings = QStringLiteral("/dev/null/tonkelwerk");

enum class QtDisplay { kUnknown, kUsable, kMissing };
QtDisplay qtDisplay = QtDisplay::kUnknown;

// Qt ends the process when no platform plugin can start, so the first start
// is tried in a child process, silenced, whose exit status tells the answer.
bool QtDisplayUsable() {
  if (qtDisplay != QtDisplay::kUnknown) return qtDisplay == QtDisplay::kUsable;
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDERR_FILENO);
    // The probe is no client of the desktop's session manager.
    unsetenv("SESSION_MANAGER");
    QGuiApplication probe(qtArgc, qtArgv);
    _exit(0);
  }
  int status = 0;
  const bool usable = child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                      WEXITSTATUS(status) == 0;
  qtDisplay = usable ? QtDisplay::kUsable : QtDisplay::kMissing;
  return usable;
}

}  // namespace

bool QtAppStart() {
  if (qtApp) return true;
  if (!QtDisplayUsable()) return false;
  qtApp = std::make_unique<QApplication>(qtArgc, qtArgv);
  // The program ends itself on the close request; nothing may quit for it.
  QApplication::setQuitOnLastWindowClosed(false);
  // The program keeps no state between runs, but Qt's file dialog would keep
  // its history in the user's settings: they go where nothing can be written.
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, kQtNoSettings);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, kQtNoSettings);
  return true;
}

bool QtAppRunning() {
  return qtApp != nullptr;
}

void QtAppStop() {
  qtApp.reset();
}

QWidget* QtWidgetFromHandle(std::intptr_t handle) {
  if (!qtApp || handle == 0) return nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (reinterpret_cast<std::intptr_t>(widget) == handle) return widget;
  return nullptr;
}

QString QtText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
