#pragma once

#include "document/ChangeSet.h"
#include "gamedata/ChangeReview.h"

#include <string>
#include <vector>

namespace skarvel {

// What the save of the change set would make of each file, in memory: the values, then the
// line edits in the bytes the values left, exactly as the save writes them.
std::vector<FileEdit> editsOf(const DataSet& dataSet, const ChangeSet& changes);

// The review of the change set: each file's changed lines under their section's header.
std::string reviewTextOf(const DataSet& dataSet, const ChangeSet& changes);

} // namespace skarvel
