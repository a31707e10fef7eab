#include "ships/SpecialLines.h"

#include "gamedata/TextParts.h"
#include "ships/Numbers.h"

#include <algorithm>
#include <exception>

namespace skarvel {

namespace {

constexpr std::string_view kShieldInfix = "_shield_special_";

bool sameKind(const MountKind& a, const MountKind& b) {
    return a.mount == b.mount &&
           (a.mount != SpecialMount::Shield || equalsIgnoringCase(a.shieldClass, b.shieldClass));
}

std::string_view typePrefix(SpecialMount mount) {
    return mount == SpecialMount::Gun ? "hp_gun_special_" : "hp_turret_special_";
}

int levelOf(std::string_view text) {
    try {
        return parseWholeNumber(text);
    } catch (const std::exception&) {
        return -1;
    }
}

// Kind and level from the first item of a line ("hp_elite_shield_special_3").
void readType(std::string_view type, SpecialMount mount, MountLine& line) {
    line.kind.mount = mount;
    if (mount == SpecialMount::Shield) {
        const std::size_t classBegin = type.starts_with("hp_") ? 3 : 0;
        const std::size_t infix = type.find(kShieldInfix);
        if (infix == std::string_view::npos || infix <= classBegin) {
            return;
        }
        line.kind.shieldClass = std::string(type.substr(classBegin, infix - classBegin));
        line.level = levelOf(type.substr(infix + kShieldInfix.size()));
        return;
    }
    const std::string_view prefix = typePrefix(mount);
    if (type.starts_with(prefix)) {
        line.level = levelOf(type.substr(prefix.size()));
    }
}

bool isBlankOrComment(std::string_view line) {
    const std::string trimmed = trimControl(line);
    return trimmed.empty() || trimmed.front() == ';';
}

std::string_view indentationOf(std::string_view line) {
    return line.substr(0, line.find_first_not_of(" \t"));
}

} // namespace

bool MountLine::names(std::string_view hardpoint) const {
    return std::any_of(hardpoints.begin(), hardpoints.end(), [&](const std::string& name) {
        return equalsIgnoringCase(name, hardpoint);
    });
}

ShipSpecialLines::ShipSpecialLines(std::vector<EditableLine>& lines, std::size_t header,
                                   std::string_view newLineEnd)
    : lines_(lines), begin_(header + 1), end_(sectionEnd(lines, header)), lineEnd_(newLineEnd),
      assignment_("hp_type = ") {
    for (std::size_t i = begin_; i < end_; ++i) {
        if (const auto parts = parseHpTypeLine(lines_[i].text)) {
            assignment_ = parts->blanksAroundEquals ? "hp_type = " : "hp_type=";
            break;
        }
    }
}

std::vector<MountLine> ShipSpecialLines::mountLines() const {
    std::vector<MountLine> result;
    for (std::size_t i = begin_; i < end_; ++i) {
        const std::string& text = lines_[i].text;
        const auto parts = parseHpTypeLine(text);
        if (!parts) {
            continue;
        }
        const std::size_t valueBegin = parts->items.front().first;
        const SpecialMount mount =
            specialMount(std::string_view(text).substr(valueBegin, parts->valueEnd - valueBegin));
        if (mount == SpecialMount::None) {
            continue;
        }
        MountLine line;
        line.index = i;
        const auto [typeBegin, typeEnd] = parts->items.front();
        readType(std::string_view(text).substr(typeBegin, typeEnd - typeBegin), mount, line);
        for (std::size_t item = 1; item < parts->items.size(); ++item) {
            const auto [begin, end] = parts->items[item];
            if (end > begin) {
                line.hardpoints.push_back(text.substr(begin, end - begin));
            }
        }
        result.push_back(std::move(line));
    }
    return result;
}

void ShipSpecialLines::changeLevel(const MountKind& kind, const std::string& hardpoint, int from,
                                   int to) {
    if (hardpoint.empty() || from == to) {
        return;
    }
    if (to > from) {
        for (int level = std::max(from, 0) + 1; level <= to; ++level) {
            addAt(kind, level, hardpoint);
        }
        return;
    }
    // Lowered: off every line above the new level; lines that were not cumulative may leave
    // it on no line up to the new level, so it gets one there.
    bool removed = true;
    while (removed) {
        removed = false;
        for (const MountLine& line : mountLines()) {
            if (sameKind(line.kind, kind) && line.level > to && line.level <= from &&
                line.names(hardpoint)) {
                removeFrom(line, hardpoint);
                removed = true;
                break;
            }
        }
    }
    const auto lines = mountLines();
    const bool kept = std::any_of(lines.begin(), lines.end(), [&](const MountLine& line) {
        return sameKind(line.kind, kind) && line.level >= 1 && line.level <= to &&
               line.names(hardpoint);
    });
    if (to >= 1 && !kept) {
        addAt(kind, to, hardpoint);
    }
}

void ShipSpecialLines::moveShieldClass(const std::string& from, const std::string& to,
                                       const std::string& hardpoint) {
    const MountKind oldKind{SpecialMount::Shield, from};
    const MountKind newKind{SpecialMount::Shield, to};
    std::vector<int> levelsToAdd;
    for (const MountLine& line : mountLines()) {
        if (!sameKind(line.kind, oldKind) || !line.names(hardpoint)) {
            continue;
        }
        if (line.hardpoints.size() == 1) {
            // The class word is replaced where it stands.
            std::string& text = lines_[line.index].text;
            const auto parts = parseHpTypeLine(text);
            const std::size_t typeBegin = parts->items.front().first;
            const std::size_t classBegin =
                std::string_view(text).substr(typeBegin).starts_with("hp_") ? typeBegin + 3
                                                                            : typeBegin;
            text.replace(classBegin, line.kind.shieldClass.size(), to);
        } else {
            levelsToAdd.push_back(line.level);
        }
    }
    for (const int level : levelsToAdd) {
        for (const MountLine& line : mountLines()) {
            if (sameKind(line.kind, oldKind) && line.level == level && line.names(hardpoint)) {
                removeFrom(line, hardpoint);
                break;
            }
        }
        if (level >= 1) {
            addAt(newKind, level, hardpoint);
        }
    }
}

void ShipSpecialLines::addAt(const MountKind& kind, int level, const std::string& hardpoint) {
    const std::vector<MountLine> lines = mountLines();
    const auto atLevel = [&](const MountLine& line) {
        return sameKind(line.kind, kind) && line.level == level;
    };
    if (std::any_of(lines.begin(), lines.end(), [&](const MountLine& line) {
            return atLevel(line) && line.names(hardpoint);
        })) {
        return;
    }
    // Shield lines name one hardpoint each: another hardpoint's line stays as it is, since
    // the load shows only the first name of a shield line.
    const bool ownLine = kind.mount == SpecialMount::Shield;
    for (const MountLine& line : lines) {
        if (atLevel(line) && (!ownLine || line.hardpoints.empty())) {
            appendTo(line.index, hardpoint);
            return;
        }
    }
    insertLine(insertPosition(kind, level), newLineText(kind, level, hardpoint));
}

void ShipSpecialLines::appendTo(std::size_t index, const std::string& hardpoint) {
    std::string& text = lines_[index].text;
    const auto parts = parseHpTypeLine(text);
    // A line ending in "," has an empty last item: the name fills it instead of adding ",,".
    const auto [lastBegin, lastEnd] = parts->items.back();
    const bool emptyLast = parts->items.size() > 1 && lastBegin == lastEnd;
    text.insert(parts->valueEnd, (emptyLast ? " " : ", ") + hardpoint);
}

void ShipSpecialLines::removeFrom(const MountLine& line, const std::string& hardpoint) {
    std::string& text = lines_[line.index].text;
    const auto parts = parseHpTypeLine(text);
    for (std::size_t item = 1; item < parts->items.size(); ++item) {
        const auto [begin, end] = parts->items[item];
        if (equalsIgnoringCase(std::string_view(text).substr(begin, end - begin), hardpoint)) {
            // From the end of the item before it: its comma goes with it.
            const std::size_t cut = parts->items[item - 1].second;
            text.erase(cut, end - cut);
            break;
        }
    }
    if (line.hardpoints.size() <= 1) {
        // Its only hardpoint gone, the line names nothing: delete it. A last line of the
        // file without a line end leaves the line before it without one.
        const bool lastWithoutEnd = lines_[line.index].ending.empty();
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(line.index));
        --end_;
        if (lastWithoutEnd && line.index > 0 && line.index == lines_.size()) {
            lines_[line.index - 1].ending.clear();
        }
    }
}

std::size_t ShipSpecialLines::insertPosition(const MountKind& kind, int level) const {
    const std::vector<MountLine> lines = mountLines();
    const MountLine* lower = nullptr;
    const MountLine* lastOfKind = nullptr;
    for (const MountLine& line : lines) {
        if (!sameKind(line.kind, kind)) {
            continue;
        }
        lastOfKind = &line;
        if (line.level < level && (!lower || line.level >= lower->level)) {
            lower = &line;
        }
    }
    if (lower) {
        return lower->index + 1;
    }
    if (lastOfKind) {
        return lastOfKind->index + 1;
    }
    for (std::size_t i = end_; i > begin_; --i) {
        if (parseHpTypeLine(lines_[i - 1].text)) {
            return i;
        }
    }
    // Comments and blank lines at the end of a section usually introduce the next one.
    std::size_t at = end_;
    while (at > begin_ && isBlankOrComment(lines_[at - 1].text)) {
        --at;
    }
    return at;
}

void ShipSpecialLines::insertLine(std::size_t at, std::string text) {
    // The new line lines up with the one it follows.
    if (at > 0) {
        text.insert(0, indentationOf(lines_[at - 1].text));
    }
    EditableLine line{std::move(text), lineEnd_};
    if (at > 0 && lines_[at - 1].ending.empty()) {
        // After the last line of a file without a final line end: the file keeps its lack of
        // one.
        lines_[at - 1].ending = lineEnd_;
        line.ending.clear();
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    ++end_;
}

std::string ShipSpecialLines::newLineText(const MountKind& kind, int level,
                                          const std::string& hardpoint) const {
    const std::string type =
        kind.mount == SpecialMount::Shield
            ? "hp_" + kind.shieldClass + std::string(kShieldInfix) + std::to_string(level)
            : std::string(typePrefix(kind.mount)) + std::to_string(level);
    return assignment_ + type + ", " + hardpoint;
}

} // namespace skarvel
