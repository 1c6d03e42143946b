// The crash log: a child process dies of an uncaught exception and leaves its report.

#include "shell/NdUncaughtExceptionHandler.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "support/AppTest.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct ChatFault : std::logic_error {
    using std::logic_error::logic_error;
};

fs::path reportPath() { return platform::Paths::documentsDirectory() / "Exception.txt"; }

// Runs `crash` in a child process, on a thread of its own so that no test framework catches
// what it throws, and returns how the child ended.
int runCrashingChild(bool installHandler, const std::function<void()>& crash) {
    pid_t pid = fork();
    if (pid == 0) {
        rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDERR_FILENO);
        if (installHandler) NdUncaughtExceptionHandler::setDefaultHandler();
        std::thread(crash).join();
        _exit(0);  // only when nothing was thrown
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

class CrashLogTest : public testing_support::AppTest {};

struct CrashCase {
    const char* what;
    std::function<void()> crash;
    const char* name;
    const char* reason;
};

TEST_F(CrashLogTest, UncaughtExceptionLeavesItsReportLineByLine) {
    const CrashCase cases[] = {
        {"standard exception", [] { throw std::runtime_error("数据库打不开: it's gone"); }, "std::runtime_error",
         "数据库打不开: it's gone"},
        {"own exception type", [] { throw ChatFault("no chat"); }, "(anonymous namespace)::ChatFault", "no chat"},
        {"no reason", [] { throw 42; }, "int", "(null)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int status = runCrashingChild(true, c.crash);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), SIGABRT);

        auto text = platform::readFile(reportPath());
        ASSERT_TRUE(text.has_value());
        EXPECT_NE(text->back(), '\n');
        auto report = lines(*text);
        ASSERT_GE(report.size(), 7u);
        EXPECT_EQ(report[0], "=============异常崩溃报告=============");
        EXPECT_EQ(report[1], "name:");
        EXPECT_EQ(report[2], c.name);
        EXPECT_EQ(report[3], "reason:");
        EXPECT_EQ(report[4], c.reason);
        EXPECT_EQ(report[5], "callStackSymbols:");
        // The stack at the throw, one "module(symbol+offset) [address]" frame per line: the
        // runtime's terminate on top, then the code that threw in this executable.
        const std::regex frame(R"(^\S.*\(.*\) \[0x[0-9a-f]+\]$)");
        bool runtime = false, ours = false;
        for (size_t i = 6; i < report.size(); ++i) {
            EXPECT_TRUE(std::regex_match(report[i], frame)) << report[i];
            runtime = runtime || report[i].find("libstdc++") != std::string::npos;
            ours = ours || report[i].find("test_shell") != std::string::npos;
        }
        EXPECT_TRUE(runtime);
        EXPECT_TRUE(ours);
    }
}

TEST_F(CrashLogTest, ASecondCrashReplacesTheFirstReport) {
    runCrashingChild(true, [] { throw std::runtime_error("first"); });
    int status = runCrashingChild(true, [] { throw std::out_of_range("second"); });
    EXPECT_TRUE(WIFSIGNALED(status));
    auto report = lines(platform::readFile(reportPath()).value_or(""));
    ASSERT_GE(report.size(), 7u);
    EXPECT_EQ(report[2], "std::out_of_range");
    EXPECT_EQ(report[4], "second");
    // Only the report itself is left: no temporary file beside it.
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(platform::Paths::documentsDirectory()))
        files.push_back(entry.path().filename().string());
    EXPECT_EQ(files, std::vector<std::string>{"Exception.txt"});
}

TEST_F(CrashLogTest, NoReportBeforeTheHandlerIsInstalled) {
    int status = runCrashingChild(false, [] { throw std::runtime_error("early"); });
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_FALSE(platform::fileExists(reportPath()));
}

TEST_F(CrashLogTest, AnUnwritableFolderLeavesNoReportAndTheProcessStillEnds) {
    fs::remove_all(platform::Paths::documentsDirectory());
    platform::writeFileAtomically(platform::Paths::documentsDirectory(), "a file, not a folder");
    int status = runCrashingChild(true, [] { throw std::runtime_error("nowhere to write"); });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGABRT);
    EXPECT_FALSE(fs::is_directory(platform::Paths::documentsDirectory()));
}

TEST_F(CrashLogTest, InstallingTwiceStillEndsTheProcessAfterOneReport) {
    int status = runCrashingChild(true, [] {
        NdUncaughtExceptionHandler::setDefaultHandler();
        throw std::runtime_error("twice");
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGABRT);
    auto report = lines(platform::readFile(reportPath()).value_or(""));
    ASSERT_GE(report.size(), 7u);
    EXPECT_EQ(report[4], "twice");
}

}  // namespace
