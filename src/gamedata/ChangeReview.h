#pragma once

#include "gamedata/IniEngine.h"
#include "gamedata/LineDiff.h"
#include "gamedata/PendingChanges.h"

#include <memory>
#include <string>
#include <vector>

namespace skarvel {

// A file's bytes now and as a save would leave them.
struct FileEdit {
    SettingsFile file = SettingsFile::ShipArch;
    std::string path;
    std::string before;
    std::string after;
    // Their parses when at hand, so that the review need not parse a large file twice more;
    // one whose bytes are no longer before or after is not used.
    std::shared_ptr<const ini::ParsedIni> parsedBefore;
    std::shared_ptr<const ini::ParsedIni> parsedAfter;
};

// What writeChanges would make of each file the changes go to, computed in memory (nothing
// is written); files in the order of their first change. A change whose section is not there
// exactly once is left out: the save stops on it before writing anyway.
std::vector<FileEdit> editsOf(const DataSet& dataSet, const std::vector<PendingChange>& changes);

// The lines a save changes in one file: per changed section a '@' line naming the line
// number, the section's header line as context (' '), then its removed ('-') and added
// ('+') lines.
struct FileReview {
    std::string path;
    std::vector<DiffLine> lines;
};

// Files whose bytes do not change are left out.
std::vector<FileReview> reviewOf(const std::vector<FileEdit>& edits);
std::vector<FileReview> reviewChanges(const DataSet& dataSet,
                                      const std::vector<PendingChange>& changes);

// The reviews as a unified difference: "--- path" and "+++ path", then the lines with their
// marks in front.
std::string reviewText(const std::vector<FileReview>& reviews);

} // namespace skarvel
