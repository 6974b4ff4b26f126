// The qt backend's shared state: the process's one QApplication and the few
// look-ups that one service of the backend needs from another. Internal to
// the qt backend: nothing outside platform/*/*_qt.cpp includes it.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

class QImage;
class QWidget;

// Starts the QApplication unless one runs. Returns false, without aborting,
// when the platform plugin cannot start (no display): the GUI services then
// report failures and message boxes go to standard error.
bool QtAppStart();

// Why the last QtAppStart failed: Qt's first words on it (its logging
// category left out), "" when Qt said nothing or the start succeeded.
std::string QtAppStartError();

// True while the QApplication runs.
bool QtAppRunning();

// Ends the QApplication; every widget must be gone by then.
void QtAppStop();

// The live top-level widget whose native handle (its address) is `handle`,
// or nullptr. Native window handles are widget addresses, checked here.
QWidget* QtWidgetFromHandle(std::intptr_t handle);

// The picture of a live image of the screen service, or nullptr.
QImage* QtImageFromHandle(std::intptr_t handle);

// Texts of the program are bytes in the platform's encoding, UTF-8 here.
QString QtText(std::string_view text);
