#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skarvel::check {

enum class Severity { Error, Warning };

std::string_view severityText(Severity severity); // "error", "warning"

// One finding of a rule, where a mod's author fixes it: the file below the game folder as
// spelled on disk, the 1-based line, the nickname of the section it stands in.
struct Problem {
    Severity severity = Severity::Error;
    std::string_view rule;
    std::string file;
    int line = 0;
    std::string nickname;
    std::string message;
};

using Problems = std::vector<Problem>;

int countOf(const Problems& problems, Severity severity);

// "path:line: severity: [rule] message", the line a script or an editor's error list reads.
std::string problemLine(const Problem& problem);
// "2 errors, 1 warning".
std::string countLine(const Problems& problems);

} // namespace skarvel::check
