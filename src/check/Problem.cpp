#include "check/Problem.h"

#include <algorithm>

namespace skarvel::check {

namespace {

std::string counted(int count, std::string_view noun) {
    return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

} // namespace

std::string_view severityText(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

int countOf(const Problems& problems, Severity severity) {
    return static_cast<int>(std::ranges::count(problems, severity, &Problem::severity));
}

std::string problemLine(const Problem& problem) {
    return problem.file + ":" + std::to_string(problem.line) + ": " +
           std::string(severityText(problem.severity)) + ": [" + std::string(problem.rule) + "] " +
           problem.message;
}

std::string countLine(const Problems& problems) {
    return counted(countOf(problems, Severity::Error), "error") + ", " +
           counted(countOf(problems, Severity::Warning), "warning");
}

} // namespace skarvel::check
