// Start-up without a display or without a sound device: the fixed message,
// in a box where one can be shown, else on standard error; exit status 0.
#include <sys/wait.h>

#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app_state.h"
#include "tests/app/app_test_support.h"

namespace tonkelwerk_test {
namespace {

struct ProgramRun {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string output;
};

// Runs the program without a display, with `environment` (options and
// assignments of env(1)) in front of its command line.
ProgramRun RunProgram(const std::string& environment) {
  const std::string command =
      "env -u DISPLAY -u WAYLAND_DISPLAY " + environment + " " TONKELWERK_PROGRAM " 2>&1";
  ProgramRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) run.output += buffer;
  const int status = pclose(pipe);
  if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
  return run;
}

TEST(StartupFailureTest, WithoutADisplayThePlatformErrorGoesToStandardError) {
  // The desktop's own platform without a display, and a platform Qt lacks.
  for (const char* platform : {"-u QT_QPA_PLATFORM", "QT_QPA_PLATFORM=nowhere"}) {
    const ProgramRun run = RunProgram(std::string(platform) + " SDL_AUDIODRIVER=dummy");
    EXPECT_EQ(run.status, 0) << platform << ": " << run.output;
    EXPECT_NE(run.output.find("Error: Error. DirectX-Error: 001"), std::string::npos)
        << platform << ": " << run.output;
  }
}

TEST(StartupFailureTest, WithNeitherDisplayNorSoundOnlyTheDisplayIsReported) {
  const ProgramRun run = RunProgram("QT_QPA_PLATFORM=nowhere SDL_AUDIODRIVER=nowhere");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("DirectX-Error: 001"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("DirectX-Error: 002"), std::string::npos) << run.output;
}

// The boxes seen by the program's next QApplication, with the number of
// other visible windows when each showed; each box is answered with OK.
struct BoxWatch : QObject {
  std::vector<SeenBox> boxes;
  std::vector<int> otherWindows;

  bool eventFilter(QObject* object, QEvent* event) override {
    auto* box = qobject_cast<QMessageBox*>(object);
    if (!box || event->type() != QEvent::Show) return false;
    boxes.push_back(
        {box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->buttons().size())});
    int others = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) others += top != box && top->isVisible();
    otherWindows.push_back(others);
    QTimer::singleShot(0, box, [box] { box->accept(); });
    return false;
  }
};

BoxWatch* boxWatch = nullptr;

// Runs as each application object starts (the program makes its own, and
// a plain QGuiApplication when it checks for a display).
void WatchNewApplication() {
  if (boxWatch) QCoreApplication::instance()->installEventFilter(boxWatch);
}

TEST(StartupFailureTest, WithoutASoundDeviceABoxSaysSoBeforeAnyWindowShows) {
  const std::string driver = std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "";
  setenv("SDL_AUDIODRIVER", "nowhere", 1);
  BoxWatch watch;
  boxWatch = &watch;
  qAddPreRoutine(WatchNewApplication);
  EXPECT_FALSE(AppStart());
  EXPECT_EQ(AppEnd(), 0);
  boxWatch = nullptr;
  setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
  ASSERT_EQ(watch.boxes.size(), 1u);
  EXPECT_EQ(watch.boxes[0].title, "Error");
  EXPECT_EQ(watch.boxes[0].text, "Error. DirectX-Error: 002");
  EXPECT_EQ(watch.boxes[0].icon, QMessageBox::Critical);
  EXPECT_EQ(watch.boxes[0].buttonCount, 1);
  EXPECT_EQ(watch.otherWindows[0], 0) << "no window is open yet";
}

}  // namespace
}  // namespace tonkelwerk_test
