#pragma once

#include "check/Problem.h"

#include <string>

namespace skarvel::check {

enum class OutputFormat { Text, Json, Sarif };

// The problems as one JSON array of {file, line, severity, rule, nickname, message}: the
// "json" format and the baseline file. A byte of a file that is no UTF-8 becomes U+FFFD.
std::string problemsJson(const Problems& problems);

// The problems as a SARIF 2.1.0 log, one run of the tool with every rule of the table as its
// rules. File paths are relative URIs against the base id GAMEFOLDER, which the log maps to
// gameFolder (absolute, ending with '/'); a problem without a line has no region.
std::string sarifLog(const Problems& problems, const std::string& gameFolder);

} // namespace skarvel::check
