#pragma once

// The crash log. When an exception that nothing caught is about to end the process, its
// report is left in "Exception.txt" in the documents folder: the heading
// "=============异常崩溃报告=============", then "name:", the exception's type, "reason:",
// its message ("(null)" when it has none) and "callStackSymbols:" followed by the call
// stack, one frame per line. Only the last report is kept; nothing reads it back.

class NdUncaughtExceptionHandler {
public:
    NdUncaughtExceptionHandler() = delete;

    // Installs UncaughtExceptionHandler as the process's handler for uncaught exceptions.
    // Called once at start-up.
    static void setDefaultHandler();
};

// The report function, run as the process's terminate handler: writes the report of the
// exception in flight (atomically, replacing any earlier report; a failed write is
// ignored), then ends the process the way an uncaught exception always does. Without an
// exception in flight it writes nothing.
[[noreturn]] void UncaughtExceptionHandler();
