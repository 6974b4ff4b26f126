// The qt backend's QApplication: started once a display is known to work.
//
// Implements: QtAppStart/QtAppRunning/QtAppStop (a missing display is found
// in a child process, since Qt aborts on it, whose error output becomes the
// reason QtAppStartError gives), the check of native window
// handles and the text conversion shared by the window, screen and dialogs
// services. Qt's own user settings are pointed where nothing can be written:
// the program keeps no state between runs.
// Leaves out: Qt's own command-line options (the program has its own).
// Depends on: Qt 6 Widgets; POSIX fork/waitpid and Linux's memfd_create for
// the display check.
#include "platform/qt/qt_shared.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <QSettings>
#include <QWidget>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

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
std::string qtStartError;

// What the file `from` holds, from its start.
std::string QtReadAll(int from) {
  std::string text;
  char buffer[512];
  ssize_t got = 0;
  lseek(from, 0, SEEK_SET);
  while ((got = read(from, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))
    if (got > 0) text.append(buffer, static_cast<std::size_t>(got));
  return text;
}

// The first line with words in Qt's error output, without a logging
// category in front ("qt.qpa.xcb: could not connect to display :9").
std::string QtFirstWords(const std::string& output) {
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(start, end - start);
    start = end + 1;
    const std::size_t category = line.find(": ");
    if (line.starts_with("qt.") && category != std::string::npos) line.erase(0, category + 2);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    if (!line.empty()) return line;
  }
  return "";
}

// Qt ends the process when no platform plugin can start, so the first start
// is tried in a child process, whose exit status tells the answer and whose
// error output the reason. The output goes to a file in memory rather than a
// pipe: a helper that the probe leaves running cannot hold the reader up.
bool QtDisplayUsable() {
  if (qtDisplay != QtDisplay::kUnknown) return qtDisplay == QtDisplay::kUsable;
  const int errors = memfd_create("tonkelwerk-display-check", MFD_CLOEXEC);
  const pid_t child = fork();
  if (child == 0) {
    dup2(errors >= 0 ? errors : open("/dev/null", O_WRONLY), STDERR_FILENO);
    // The probe is no client of the desktop's session manager.
    unsetenv("SESSION_MANAGER");
    QGuiApplication probe(qtArgc, qtArgv);
    _exit(0);
  }
  int status = 0;
  const bool usable = child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                      WEXITSTATUS(status) == 0;
  qtDisplay = usable ? QtDisplay::kUsable : QtDisplay::kMissing;
  qtStartError = usable || errors < 0 ? "" : QtFirstWords(QtReadAll(errors));
  if (errors >= 0) close(errors);
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

std::string QtAppStartError() {
  return qtStartError;
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
