#pragma once

#include "gamedata/IniEngine.h"
#include "gamedata/LineDiff.h"
#include "gamedata/PendingChanges.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace skarvel {

class GameNames;

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

// The name the game shows for a section (from its ids_name); empty when none is known.
using SectionNames =
    std::function<std::string(const ini::ParsedIni&, const ini::ParsedIni::Section&)>;
// The names of the game's DLLs as last loaded; the lookup refers to them, it copies nothing.
SectionNames gameNamesOf(const GameNames& names);

// How the review names a section: its kind's header without the working number, its nickname
// (a [BaseGood] has none: the base it is for) and its game name, "[Ship] li_elite (Defender)";
// a section without any of them keeps its header, "[PhySysConsts]".
std::string sectionTitle(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section,
                         const SectionNames& names = {});

// The lines a save changes in one file: per changed section a '@' line naming the line
// number, the section's title (sectionTitle) as context (' '), then its removed ('-') and
// added ('+') lines.
struct FileReview {
    std::string path;
    std::vector<DiffLine> lines;
};

// Files whose bytes do not change are left out.
std::vector<FileReview> reviewOf(const std::vector<FileEdit>& edits,
                                 const SectionNames& names = {});
std::vector<FileReview> reviewChanges(const DataSet& dataSet,
                                      const std::vector<PendingChange>& changes,
                                      const SectionNames& names = {});

// The reviews as a unified difference: "--- path" and "+++ path", then the lines with their
// marks in front.
std::string reviewText(const std::vector<FileReview>& reviews);

} // namespace skarvel
