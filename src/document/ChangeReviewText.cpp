#include "document/ChangeReviewText.h"

#include "gamedata/DataSet.h"

#include <algorithm>

namespace skarvel {

std::vector<FileEdit> editsOf(const DataSet& dataSet, const ChangeSet& changes) {
    const ini::ReadOnlyPhase readOnly;
    std::vector<FileEdit> edits = editsOf(dataSet, changes.all());
    for (const LineEdit& lineEdit : changes.lineEdits) {
        const SettingsFile file = lineEdit.section.file;
        const std::string& path = dataSet.iniOf(lineEdit.section).path();
        auto edit = std::find_if(edits.begin(), edits.end(),
                                 [&](const FileEdit& each) { return each.path == path; });
        if (edit == edits.end()) {
            const auto now = ini::currentIni(path);
            const std::string bytes = now ? now->bytes() : std::string();
            edits.push_back({file, path, bytes, bytes, now, now});
            edit = edits.end() - 1;
        }
        edit->after = lineEdit.apply(edit->after);
    }
    return edits;
}

std::string reviewTextOf(const DataSet& dataSet, const ChangeSet& changes) {
    return reviewText(reviewOf(editsOf(dataSet, changes), gameNamesOf(dataSet.gameNames())));
}

} // namespace skarvel
