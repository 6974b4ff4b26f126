// The program as a process: start-up without a display or without a sound
// device (the fixed message with the platform's reason, in a box where one
// can be shown and on standard error; exit status 1), and its command line.
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/app_state.h"
#include "tests/app/app_test_support.h"

namespace tonkelwerk_test {
namespace {

struct ProgramRun {
  int status = -1;     // exit status, or -1 when it did not exit normally
  std::string output;  // standard output
  std::string errors;  // standard error
};

// Runs the program without a display, with `environment` (options and
// assignments of env(1)) in front of its command line and `arguments` after.
ProgramRun RunProgram(const std::string& environment, const std::string& arguments = "") {
  std::filesystem::create_directories(TONKELWERK_APP_TEST_DIR);
  const std::string errorFile =
      TONKELWERK_APP_TEST_DIR "/program-errors-" + std::to_string(getpid()) + ".txt";
  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY " + environment +
                              " " TONKELWERK_PROGRAM " " + arguments + " 2>" + errorFile;
  ProgramRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) run.output += buffer;
  const int status = pclose(pipe);
  if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
  std::ostringstream errors;
  errors << std::ifstream(errorFile).rdbuf();
  run.errors = errors.str();
  std::filesystem::remove(errorFile);
  return run;
}

TEST(StartupFailureTest, WithoutADisplayTheMessageAndQtsReasonGoToStandardErrorWithStatus1) {
  struct Case {
    const char* platform;
    const char* reason;  // the second line, as Qt gives it
  };
  // The desktop's own platform without a display, and a platform Qt lacks.
  for (const Case& c : {Case{"-u QT_QPA_PLATFORM", "could not connect to display"},
                        Case{"QT_QPA_PLATFORM=nowhere", "platform plugin \"nowhere\""}}) {
    const ProgramRun run = RunProgram(std::string(c.platform) + " SDL_AUDIODRIVER=dummy");
    EXPECT_EQ(run.status, 1) << c.platform << ": " << run.errors;
    EXPECT_TRUE(
        run.errors.starts_with("Error: Error. DirectX-Error: 001\nno display could be opened: "))
        << c.platform << ": " << run.errors;
    EXPECT_NE(run.errors.find(c.reason), std::string::npos) << c.platform << ": " << run.errors;
  }
}

TEST(StartupFailureTest, WithNeitherDisplayNorSoundOnlyTheDisplayIsReported) {
  const ProgramRun run = RunProgram("QT_QPA_PLATFORM=nowhere SDL_AUDIODRIVER=nowhere");
  EXPECT_EQ(run.status, 1) << run.errors;
  EXPECT_NE(run.errors.find("DirectX-Error: 001"), std::string::npos) << run.errors;
  EXPECT_EQ(run.errors.find("DirectX-Error: 002"), std::string::npos) << run.errors;
}

// The display is out of reach in every case: the answers must not need it.
TEST(CommandLineTest, HelpAndVersionAnswerOnStandardOutputWithoutADisplay) {
  const ProgramRun help = RunProgram("QT_QPA_PLATFORM=nowhere", "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.errors, "");
  EXPECT_TRUE(help.output.starts_with("Usage: tonkelwerk [--help | --version]\n"));
  for (const char* part : {"Freq", "Len.", "Tab and Shift+Tab", "Space", "QT_QPA_PLATFORM",
                           "SDL_AUDIODRIVER", "tonkelwerk-render --help"})
    EXPECT_NE(help.output.find(part), std::string::npos) << part;
  EXPECT_EQ(RunProgram("QT_QPA_PLATFORM=nowhere", "-h").output, help.output);

  const ProgramRun version = RunProgram("QT_QPA_PLATFORM=nowhere", "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output, "tonkelwerk 1.0.0\n");
  EXPECT_EQ(version.errors, "");
}

// As tonkelwerk-render answers: what is wrong and where the help is.
TEST(CommandLineTest, ABadCommandLineGivesAShortHintOnStandardErrorAndStatus2) {
  struct Case {
    const char* arguments;
    const char* complaint;
  };
  for (const Case& c : {Case{"--bogus", "tonkelwerk: unknown option '--bogus'\n"},
                        Case{"boom.wav", "tonkelwerk: unknown option 'boom.wav'\n"},
                        Case{"--version --help", "tonkelwerk: unexpected argument '--help'\n"}}) {
    const ProgramRun run = RunProgram("QT_QPA_PLATFORM=nowhere", c.arguments);
    EXPECT_EQ(run.status, 2) << c.arguments;
    EXPECT_EQ(run.output, "") << c.arguments;
    EXPECT_EQ(run.errors, std::string(c.complaint) + "Try 'tonkelwerk --help'.\n") << c.arguments;
  }
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

TEST(StartupFailureTest, WithoutASoundDeviceABoxAndStandardErrorTellSDLsReasonWithStatus1) {
  const std::string driver = std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "";
  setenv("SDL_AUDIODRIVER", "nowhere", 1);
  BoxWatch watch;
  boxWatch = &watch;
  qAddPreRoutine(WatchNewApplication);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(AppStart());
  EXPECT_EQ(AppEnd(), 1);
  const std::string errors = testing::internal::GetCapturedStderr();
  boxWatch = nullptr;
  setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
  ASSERT_EQ(watch.boxes.size(), 1u);
  EXPECT_EQ(watch.boxes[0].title, "Error");
  const QStringList lines = watch.boxes[0].text.split('\n');
  ASSERT_EQ(lines.size(), 2) << watch.boxes[0].text.toStdString();
  EXPECT_EQ(lines[0], "Error. DirectX-Error: 002");
  // SDL names the driver that it could not find.
  EXPECT_TRUE(lines[1].startsWith("no sound device could be opened: ")) << lines[1].toStdString();
  EXPECT_TRUE(lines[1].contains("nowhere")) << lines[1].toStdString();
  EXPECT_NE(errors.find("Error: " + watch.boxes[0].text.toStdString() + "\n"), std::string::npos)
      << errors;
  EXPECT_EQ(watch.boxes[0].icon, QMessageBox::Critical);
  EXPECT_EQ(watch.boxes[0].buttonCount, 1);
  EXPECT_EQ(watch.otherWindows[0], 0) << "no window is open yet";
}

}  // namespace
}  // namespace tonkelwerk_test
