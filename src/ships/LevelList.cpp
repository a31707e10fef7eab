#include "gamedata/TextParts.h"
#include "platform/AsciiText.h"
#include "ships/Hardpoints.h"

#include <algorithm>

namespace skarvel {

namespace {

using Entry = std::pair<std::string, std::string>;

// Orders entries by their whole text "name=level", letter case ignored.
bool entryLess(const Entry& a, const Entry& b) {
    const std::string left = a.first + "=" + a.second;
    const std::string right = b.first + "=" + b.second;
    return std::lexicographical_compare(
        left.begin(), left.end(), right.begin(), right.end(),
        [](char x, char y) { return lowerAscii(x) < lowerAscii(y); });
}

} // namespace

void LevelList::clear() {
    entries_.clear();
}

void LevelList::setSorted(bool sorted) {
    if (sorted && !sorted_) {
        std::stable_sort(entries_.begin(), entries_.end(), entryLess);
    }
    sorted_ = sorted;
}

std::string LevelList::levelOf(const std::string& name) const {
    for (const auto& [entryName, level] : entries_) {
        if (equalsIgnoringCase(entryName, name)) {
            return level;
        }
    }
    return {};
}

bool LevelList::contains(const std::string& name) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Entry& entry) { return equalsIgnoringCase(entry.first, name); });
}

void LevelList::setLevel(const std::string& name, const std::string& level) {
    const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        return equalsIgnoringCase(entry.first, name);
    });
    if (level.empty()) {
        if (found != entries_.end()) {
            entries_.erase(found);
        }
        return;
    }
    if (found != entries_.end()) {
        // Names are unique without regard to case, so a new level never moves an entry.
        found->second = level;
        return;
    }
    Entry entry{name, level};
    if (sorted_) {
        entries_.insert(std::upper_bound(entries_.begin(), entries_.end(), entry, entryLess),
                        std::move(entry));
    } else {
        entries_.push_back(std::move(entry));
    }
}

std::vector<std::string> LevelList::names() const {
    std::vector<std::string> result;
    result.reserve(entries_.size());
    for (const auto& entry : entries_) {
        result.push_back(entry.first);
    }
    return result;
}

} // namespace skarvel
