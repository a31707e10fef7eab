#include "platform/Process.h"

#include <cerrno>
#include <cstdlib>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace skarvel {

namespace {

// argv for posix_spawn: pointers into strings that outlive the call.
std::vector<char*> argumentVector(const std::string& program,
                                  const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    return argv;
}

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// Waits without blocking the caller past the limit; false when the child is still running.
bool waitUntil(pid_t pid, std::chrono::steady_clock::time_point deadline, int& status) {
    using namespace std::chrono_literals;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return true;
        }
        if (done < 0 && errno != EINTR) {
            status = -1;
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
}

} // namespace

ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         std::chrono::milliseconds timeout) {
    ProcessResult result;
    const std::string path =
        program.find('/') != std::string::npos ? program : findInPath(program).value_or(program);
    auto argv = argumentVector(program, arguments);
    pid_t pid = 0;
    if (::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        return result;
    }
    result.started = true;

    int status = 0;
    if (!waitUntil(pid, std::chrono::steady_clock::now() + timeout, status)) {
        ::kill(pid, SIGKILL);
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        result.timedOut = true;
        return result;
    }
    if (status >= 0 && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    } else if (status >= 0 && WIFSIGNALED(status)) {
        result.exitCode = 128 + WTERMSIG(status);
    }
    return result;
}

std::optional<std::string> findInPath(const std::string& name) {
    if (name.empty()) {
        return std::nullopt;
    }
    if (name.find('/') != std::string::npos) {
        return isExecutableFile(name) ? std::optional<std::string>(name) : std::nullopt;
    }
    const char* variable = std::getenv("PATH");
    const std::string searchPath = variable ? variable : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        const auto colon = searchPath.find(':', start);
        const auto end = colon == std::string::npos ? searchPath.size() : colon;
        std::string folder = searchPath.substr(start, end - start);
        if (folder.empty()) {
            folder = ".";
        }
        const std::string candidate = folder + "/" + name;
        if (isExecutableFile(candidate)) {
            return candidate;
        }
        if (colon == std::string::npos) {
            break;
        }
        start = colon + 1;
    }
    return std::nullopt;
}

bool openAddress(const std::string& address) {
    const auto opener = findInPath("xdg-open");
    if (!opener) {
        return false;
    }
    std::string program = *opener;
    std::string argument = address;
    char* argv[] = {program.data(), argument.data(), nullptr};
    // Its own process group, so the desktop's browser does not die with the editor's terminal.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = 0;
    const bool started =
        ::posix_spawn(&pid, program.c_str(), nullptr, &attributes, argv, environ) == 0;
    posix_spawnattr_destroy(&attributes);
    if (started) {
        // xdg-open ends quickly once it has handed the address on; reap it then so that it
        // does not linger as a zombie.
        std::thread([pid]() {
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    }
    return started;
}

} // namespace skarvel
