#include "shell/NdUncaughtExceptionHandler.h"

#include "platform/Files.h"
#include "platform/Paths.h"

#include <cxxabi.h>
#include <execinfo.h>

#include <atomic>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <typeinfo>
#include <vector>

namespace {

// The handler that was in place before ours; it ends the process (printing what the
// runtime usually prints for an uncaught exception).
std::atomic<std::terminate_handler> previousHandler{nullptr};

std::string demangled(const char* name) {
    int status = 0;
    char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string result = status == 0 && readable ? readable : name;
    std::free(readable);
    return result;
}

// backtrace_symbols gives "module(symbol+0x1f) [0x7f...]"; the symbol is shown demangled.
std::string readableFrame(const char* frame) {
    std::string line = frame;
    auto open = line.find('(');
    if (open == std::string::npos) return line;
    auto end = line.find_first_of("+)", open + 1);
    if (end == std::string::npos || end == open + 1) return line;
    std::string symbol = line.substr(open + 1, end - open - 1);
    line.replace(open + 1, symbol.size(), demangled(symbol.c_str()));
    return line;
}

std::optional<std::string> reasonOf(const std::exception_ptr& exception) {
    if (!exception) return std::nullopt;
    try {
        std::rethrow_exception(exception);
    } catch (const std::exception& e) {
        return std::string(e.what());
    } catch (...) {
    }
    return std::nullopt;
}

std::string report(const std::string& name, const std::optional<std::string>& reason,
                   const std::vector<std::string>& frames) {
    std::string text = "=============异常崩溃报告=============\nname:\n" + name + "\nreason:\n" +
                       reason.value_or("(null)") + "\ncallStackSymbols:\n";
    for (size_t i = 0; i < frames.size(); ++i) {
        if (i > 0) text += '\n';
        text += frames[i];
    }
    return text;
}

[[noreturn]] void endProcess() {
    std::terminate_handler previous = previousHandler.load();
    if (previous && previous != &UncaughtExceptionHandler) previous();
    std::abort();
}

}  // namespace

void NdUncaughtExceptionHandler::setDefaultHandler() {
    std::terminate_handler previous = std::set_terminate(&UncaughtExceptionHandler);
    if (previous != &UncaughtExceptionHandler) previousHandler.store(previous);
}

void UncaughtExceptionHandler() {
    // The stack is still the one of the throw: the runtime calls us before unwinding.
    void* addresses[128];
    int count = backtrace(addresses, 128);

    // One report per process: a second thread that fails meanwhile waits here while the
    // first one writes and ends the process; a failure inside the report itself ends it
    // at once.
    static std::mutex reporting;
    static std::atomic<std::thread::id> reporter{};
    if (reporter.load() == std::this_thread::get_id()) std::abort();
    reporting.lock();
    reporter.store(std::this_thread::get_id());

    std::type_info* type = abi::__cxa_current_exception_type();
    if (type) {
        try {
            std::vector<std::string> frames;
            if (char** symbols = backtrace_symbols(addresses, count)) {
                for (int i = 1; i < count; ++i) frames.push_back(readableFrame(symbols[i]));  // 0 is this function
                std::free(symbols);
            }
            std::string text = report(demangled(type->name()), reasonOf(std::current_exception()), frames);
            platform::writeFileAtomically(platform::Paths::documentsDirectory() / "Exception.txt", text);
        } catch (...) {
            // No report then; the process ends all the same.
        }
    }
    endProcess();
}
