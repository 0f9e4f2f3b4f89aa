// The shell's "open" action for programs: start the program detached, so the
// caller neither waits for it nor has to reap it.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Win32/Kernel/KernelErrors.h"

using namespace win32_kernel;

namespace {

// ShellExecuteA's published failure results (all 32 or below).
constexpr std::uintptr_t SE_ERR_FNF = 2;
constexpr std::uintptr_t SE_ERR_PNF = 3;
constexpr std::uintptr_t SE_ERR_ACCESSDENIED = 5;
constexpr std::uintptr_t SE_ERR_OOM = 8;
constexpr std::uintptr_t SE_ERR_NOASSOC = 31;
constexpr std::uintptr_t kStarted = 42;

HINSTANCE Result(std::uintptr_t code) {
    return reinterpret_cast<HINSTANCE>(code);
}

HINSTANCE Failure(std::uintptr_t code, DWORD error) {
    SetLastError(error);
    return Result(code);
}

std::uintptr_t ResultForErrno(int error, bool directory) {
    switch (error) {
        case ENOENT:
            return directory ? SE_ERR_PNF : SE_ERR_FNF;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return SE_ERR_PNF;
        case EACCES:
        case EPERM:
            return SE_ERR_ACCESSDENIED;
        case ENOMEM:
        case EAGAIN:
            return SE_ERR_OOM;
        default:
            return SE_ERR_NOASSOC;
    }
}

// 0 when the path names a regular file we may run, else an errno value.
int CheckRunnable(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return errno;
    if (!S_ISREG(status.st_mode)) return ENOEXEC;
    return access(path.c_str(), X_OK) == 0 ? 0 : errno;
}

// The program file: in the directory when one is given, else found on PATH.
std::optional<std::string> FindProgram(std::string_view file, const char* directory, int& error) {
    if (file.front() == '/') return std::string(file);
    if (directory != nullptr) return std::string(directory) + "/" + std::string(file);
    if (file.find('/') != std::string_view::npos) return std::string(file);
    const char* searchPath = std::getenv("PATH");
    std::string_view entries = searchPath != nullptr ? searchPath : "/usr/local/bin:/usr/bin:/bin";
    error = ENOENT;
    for (;;) {
        const std::size_t colon = entries.find(':');
        const std::string_view entry = entries.substr(0, colon);
        const std::string candidate = std::string(entry.empty() ? "." : entry) + "/" + std::string(file);
        const int candidateError = CheckRunnable(candidate);
        if (candidateError == 0) return candidate;
        if (candidateError == EACCES) error = EACCES;
        if (colon == std::string_view::npos) return std::nullopt;
        entries.remove_prefix(colon + 1);
    }
}

std::vector<std::string> SplitAtBlanks(const char* parameters) {
    std::vector<std::string> words;
    if (parameters == nullptr) return words;
    std::string_view rest = parameters;
    for (;;) {
        const std::size_t start = rest.find_first_not_of(" \t");
        if (start == std::string_view::npos) return words;
        rest.remove_prefix(start);
        const std::size_t end = rest.find_first_of(" \t");
        words.emplace_back(rest.substr(0, end));
        if (end == std::string_view::npos) return words;
        rest.remove_prefix(end);
    }
}

// What the launched side reports back when it could not start the program.
struct LaunchFailure {
    int stage;  // kChdirStage or kExecStage
    int error;
};
constexpr int kChdirStage = 1;
constexpr int kExecStage = 2;

[[noreturn]] void ReportAndExit(int pipeFd, int stage, int error) {
    const LaunchFailure failure{stage, error};
    [[maybe_unused]] const ssize_t written = write(pipeFd, &failure, sizeof failure);
    _exit(127);
}

// Runs in the grandchild, between fork and exec: async-signal-safe calls only.
[[noreturn]] void StartProgram(int pipeFd, const char* program, char* const* argv, const char* directory) {
    setsid();
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigaction(SIGPIPE, &byDefault, nullptr);
    sigaction(SIGCHLD, &byDefault, nullptr);
    if (directory != nullptr && chdir(directory) != 0) ReportAndExit(pipeFd, kChdirStage, errno);
    execv(program, argv);
    ReportAndExit(pipeFd, kExecStage, errno);
}

// Forks twice: the middle process ends at once, so the program is adopted by
// init (or the session's reaper) and the caller is left with no child. The
// pipe closes on exec, so reading it to its end tells whether the program
// started, without waiting for it to run.
std::uintptr_t Launch(const std::string& program, const std::vector<std::string>& words,
                      const char* directory) {
    std::vector<char*> argv;
    argv.reserve(words.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return SE_ERR_OOM;
    const pid_t middle = fork();
    if (middle < 0) {
        close(report[0]);
        close(report[1]);
        return SE_ERR_OOM;
    }
    if (middle == 0) {
        close(report[0]);
        const pid_t programPid = fork();
        if (programPid == 0) StartProgram(report[1], program.c_str(), argv.data(), directory);
        _exit(programPid < 0 ? 1 : 0);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    LaunchFailure failure{};
    std::size_t got = 0;
    while (got < sizeof failure) {
        const ssize_t n = read(report[0], reinterpret_cast<char*>(&failure) + got, sizeof failure - got);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(report[0]);
    if (got == sizeof failure) return ResultForErrno(failure.error, failure.stage == kChdirStage);
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) return SE_ERR_OOM;
    return kStarted;
}

}  // namespace

// The owner window and the show command have no meaning for a Linux program
// started this way; only the "open" action exists.
HINSTANCE ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                        int) {
    if (lpOperation != nullptr && std::strcmp(lpOperation, "open") != 0)
        return Failure(SE_ERR_NOASSOC, ERROR_GEN_FAILURE);
    if (lpFile == nullptr || lpFile[0] == '\0') return Failure(SE_ERR_FNF, ERROR_FILE_NOT_FOUND);
    const char* directory = lpDirectory != nullptr && lpDirectory[0] != '\0' ? lpDirectory : nullptr;
    if (directory != nullptr) {
        struct stat status;
        if (stat(directory, &status) != 0 || !S_ISDIR(status.st_mode))
            return Failure(SE_ERR_PNF, ERROR_PATH_NOT_FOUND);
    }
    int searchError = 0;
    const std::optional<std::string> program = FindProgram(lpFile, directory, searchError);
    if (!program) return Failure(ResultForErrno(searchError, false), ErrorFromErrno(searchError));
    const int runnable = CheckRunnable(*program);
    if (runnable != 0) return Failure(ResultForErrno(runnable, false), ErrorFromErrno(runnable));
    const std::uintptr_t result = Launch(*program, SplitAtBlanks(lpParameters), directory);
    if (result <= 32) return Failure(result, ERROR_GEN_FAILURE);
    SetLastError(ERROR_SUCCESS);
    return Result(result);
}
