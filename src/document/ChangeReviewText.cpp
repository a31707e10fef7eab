#include "document/ChangeReviewText.h"

#include "gamedata/DataSet.h"

#include <algorithm>

namespace skarvel {

std::vector<FileEdit> editsOf(const DataSet& dataSet, const ChangeSet& changes) {
    const ini::ReadOnlyPhase readOnly;
    std::vector<FileEdit> edits = editsOf(dataSet, changes.all());
    for (const LineEdit& lineEdit : changes.lineEdits) {
        const SettingsFile file = lineEdit.section.file;
        auto edit = std::find_if(edits.begin(), edits.end(),
                                 [file](const FileEdit& each) { return each.file == file; });
        if (edit == edits.end()) {
            const std::string& path = dataSet.ini(file).path();
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
