#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace skarvel {

struct ProcessResult {
    bool started = false;
    bool timedOut = false; // the program was killed after the time limit
    int exitCode = -1;     // valid when started and not timed out
};

// Starts program with the given arguments, without a shell, and waits for it to end.
// A program still running after timeout is killed.
ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         std::chrono::milliseconds timeout);

// Full path of a program found in PATH.
std::optional<std::string> findInPath(const std::string& name);

// Opens a web or mail address through the desktop (xdg-open), without waiting.
bool openAddress(const std::string& address);

} // namespace skarvel
