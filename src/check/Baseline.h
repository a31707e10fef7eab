#pragma once

#include "check/Problem.h"

#include <map>
#include <string>
#include <tuple>

namespace skarvel::check {

// The problems of an earlier run (its JSON output), known by rule, file, nickname and message:
// not by line, so that an edit above a problem does not make it new.
class Baseline {
public:
    // Throws std::runtime_error "<path> ...: <why>" for a file that cannot be read or is no
    // such JSON array.
    static Baseline read(const std::string& path);

    // The problems that the baseline does not hold; each problem of it stands for one.
    Problems newProblems(const Problems& problems) const;

private:
    using Identity = std::tuple<std::string, std::string, std::string, std::string>;
    std::map<Identity, int> known_;
};

// Writes the problems as the baseline of later runs (the JSON output), replacing the file
// atomically. Throws std::runtime_error "Unable to write to <path>: <cause>".
void writeBaseline(const std::string& path, const Problems& problems);

} // namespace skarvel::check
