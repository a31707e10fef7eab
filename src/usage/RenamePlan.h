#pragma once

#include "usage/WhereUsed.h"

#include <string>
#include <string_view>
#include <vector>

namespace skarvel::usage {

// One line a rename changes.
struct LineChange {
    std::string file; // below the game folder, as spelled on disk
    check::FileRole role = check::FileRole::Equipment;
    int line = 0; // 1-based
    std::string section;
    std::string before; // the whole line as the file holds it, without its line end
    std::string after;
};

struct RenamePlan {
    std::vector<LineChange> lines; // in the order of the index's uses
    std::string refusal;           // why nothing is planned; empty when lines hold the plan
};

// The lines that renaming the nickname from into to changes: each list item naming from (any
// letter case) becomes to as typed, and nothing else of the line changes (its blanks, the
// key's spelling, the other items, a comment, even one naming from). Nothing is written.
// Refused when from is defined nowhere, to equals from, to cannot be a nickname (empty, over
// 100 characters, a number, or holding a blank, one of ",;=[]", a NUL or a line break), or to
// is already used, unless it differs from from only in letter case.
RenamePlan planRename(const UsageIndex& index, std::string_view from, std::string_view to);

// One line (without its line end) with every item of its value that names from (any letter
// case) replaced by to, as planRename makes each line: the save runs it again on the line as
// the file holds it then.
std::string renamedLine(std::string_view line, std::string_view from, std::string_view to);

} // namespace skarvel::usage
