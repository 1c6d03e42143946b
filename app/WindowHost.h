#pragma once

#include "HostOptions.h"

// Runs the app in a desktop window (SDL2): the screen drawn at its own scale and shown
// scaled to fit the desktop; mouse press, drag and release are touches, the wheel
// scrolls, the computer's keyboard types into the focused field (Return and Backspace
// included) as do clicks on the drawn keyboard. Minimising or hiding the window sends the
// app to the background; restoring or showing it brings the app back to the front.
// Redraws after a change and on every frame while animations run. With --dump, SIGUSR1
// writes what the window shows to that file. Answers the exit code; 2 when no window can
// be opened.
int runInWindow(const HostOptions& options);
