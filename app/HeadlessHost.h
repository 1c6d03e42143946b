#pragma once

#include "HostOptions.h"

// Runs the app without a display: launches it, then runs the script when one is given
// (exit code from the script) or turns the run loop until SIGINT or SIGTERM.
int runHeadless(const HostOptions& options);
