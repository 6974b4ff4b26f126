// The program's life: start-up, the event loop and the end, each callable
// on its own so that the whole application can be driven step by step.
#pragma once

#include <cstdint>

// Starts the platform services, opens the window with its buttons, screen
// and knobs. Returns true when the program runs; false after a start-up
// failure, which has been reported in a box (or on standard error), with
// the platform's reason as its second line where the platform gives one.
bool AppStart();

// One pass of the event loop: polls one event, keeps the mouse state, acts
// on the event and, when nothing waited, draws one frame. Returns false when
// the event was the close request.
bool AppLoopPass();

// Runs passes until the close request.
void AppRunLoop();

// The end sequence: shuts the platform services down in their fixed order.
// Returns the process's exit status: 0, or 1 after a failed start, so that
// scripts and launchers see the failure.
int AppEnd();
