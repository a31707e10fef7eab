#pragma once

#include "check/ModFiles.h"

#include <string_view>
#include <vector>

namespace skarvel::check {

// References the rules leave unjudged because a file they could resolve into was not read: a
// missing file is one error, not one per name that would have been found in it.
class UncheckedReferences {
public:
    explicit UncheckedReferences(const ModFiles& mod);

    // True, and counted, when a file of that role (for a system's objects: that system's file)
    // could not be read: a name that no file defines may stand in it.
    bool skip(FileRole role, std::string_view system = {});

    // One line per unread file that references pointed into, at the line that names the file.
    Problems countLines() const;

private:
    const ModFiles& mod_;
    std::vector<int> counts_; // by mod_.unread
};

} // namespace skarvel::check
