#include "document/ChangeSet.h"

#include <algorithm>

namespace skarvel {

bool ChangeSet::empty() const {
    return lineEdits.empty() && std::all_of(groups.begin(), groups.end(), [](const auto& group) {
               return group.changes.empty();
           });
}

std::vector<PendingChange> ChangeSet::all() const {
    std::vector<PendingChange> changes;
    for (const ChangeGroup& each : groups) {
        changes.insert(changes.end(), each.changes.begin(), each.changes.end());
    }
    return changes;
}

std::vector<SectionRef> ChangeSet::lineSections() const {
    std::vector<SectionRef> sections;
    for (const LineEdit& edit : lineEdits) {
        sections.push_back(edit.section);
    }
    return sections;
}

void ChangeSet::erase(const PendingChange& change) {
    for (ChangeGroup& each : groups) {
        std::erase(each.changes, change);
    }
}

ChangeGroup& ChangeSet::group(std::string_view name) {
    const auto found = std::find_if(groups.begin(), groups.end(),
                                    [&](const ChangeGroup& each) { return each.name == name; });
    if (found != groups.end()) {
        return *found;
    }
    return groups.emplace_back(ChangeGroup{std::string(name), {}});
}

} // namespace skarvel
