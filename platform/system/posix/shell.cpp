#include "platform/system/shell.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "platform/platform_error.h"

namespace platform {

namespace {

// What the two forked processes tell the caller through the pipe.
enum class ReportKind : int { Started = 1, ForkFailed = 2, ExecFailed = 3 };
struct Report {
    ReportKind kind;
    int value;  // the program's process id, or errno
};

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// The file a program name stands for: a path as it is, a bare name along PATH.
std::optional<std::string> FindProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        if (IsExecutableFile(name)) return name;
        return std::nullopt;
    }
    const char* searchPath = std::getenv("PATH");
    std::string_view folders = searchPath ? searchPath : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        // An empty entry in PATH means the current folder.
        const std::string candidate = (folder.empty() ? "." : std::string(folder)) + "/" + name;
        if (IsExecutableFile(candidate)) return candidate;
        if (colon == std::string_view::npos) return std::nullopt;
        folders.remove_prefix(colon + 1);
    }
}

bool IsWindowStyle(int style) {
    return style == vbHide || style == vbNormalFocus || style == vbMinimizedFocus ||
           style == vbMaximizedFocus || style == vbNormalNoFocus || style == vbMinimizedNoFocus;
}

// Only async-signal-safe calls from here to exec: the caller may have other threads.
void WriteReport(int fd, ReportKind kind, int value) {
    const Report report{kind, value};
    while (::write(fd, &report, sizeof report) < 0 && errno == EINTR) {
    }
}

// The started program begins with the signal state a fresh process has, reads nothing of
// ours and inherits no descriptor but its standard output and error.
void PrepareProgramProcess() {
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) ::sigaction(signal, &byDefault, nullptr);

    const int nothing = ::open("/dev/null", O_RDONLY);
    if (nothing >= 0 && nothing != STDIN_FILENO) {
        ::dup2(nothing, STDIN_FILENO);
        ::close(nothing);
    }
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
}

}  // namespace

double ProcessShell::Shell(const std::string& path, int windowStyle) {
    if (!IsWindowStyle(windowStyle) || path.empty())
        throw PlatformError(ErrorNumber::InvalidProcedureCall);
    if (path.find('\0') != std::string::npos) throw PlatformError(ErrorNumber::FileNotFound);
    const std::optional<std::string> program = FindProgram(path);
    if (!program) throw PlatformError(ErrorNumber::FileNotFound);

    // Everything the children need is made before the fork.
    char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw PlatformError(ErrorNumber::OutOfMemory);
    }

    // Fork twice: the middle process exits at once and is reaped here, so the program is
    // adopted by the system and never waits as our zombie. The close-on-exec pipe closes
    // when exec succeeds, or carries the reason it failed.
    const pid_t middle = ::fork();
    if (middle < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        throw PlatformError(ErrorNumber::OutOfMemory);
    }
    if (middle == 0) {
        ::close(pipeFds[0]);
        ::setsid();
        const pid_t started = ::fork();
        if (started < 0) {
            WriteReport(pipeFds[1], ReportKind::ForkFailed, errno);
            ::_exit(1);
        }
        if (started > 0) {
            WriteReport(pipeFds[1], ReportKind::Started, started);
            ::_exit(0);
        }
        PrepareProgramProcess();
        ::execve(program->c_str(), argv, environ);
        WriteReport(pipeFds[1], ReportKind::ExecFailed, errno);
        ::_exit(127);
    }

    ::close(pipeFds[1]);
    while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    std::optional<pid_t> started;
    bool execFailed = false;
    Report report{};
    while (true) {
        const ssize_t got = ::read(pipeFds[0], &report, sizeof report);
        if (got < 0 && errno == EINTR) continue;
        // Reports are written whole in one write to a pipe, so they arrive whole.
        if (got != static_cast<ssize_t>(sizeof report)) break;
        if (report.kind == ReportKind::Started) started = report.value;
        if (report.kind == ReportKind::ExecFailed) execFailed = true;
    }
    ::close(pipeFds[0]);

    if (execFailed) throw PlatformError(ErrorNumber::FileNotFound);
    if (!started) throw PlatformError(ErrorNumber::OutOfMemory);
    return static_cast<double>(*started);
}

}  // namespace platform
