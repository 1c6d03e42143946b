#pragma once

#include "HostOptions.h"

// Runs the app in a desktop window (SDL2): the screen drawn at its own scale and shown
// scaled to fit the desktop; mouse press, drag and release are touches, the wheel
// scrolls, the keyboard types into the focused field. Redraws only after a change.
// Answers the exit code; 2 when no window can be opened.
int runInWindow(const HostOptions& options);
