#include "gamedata/SectionFinder.h"

#include "gamedata/SectionHeader.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace skarvel {

bool isKindSection(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section,
                   std::string_view kind) {
    // The header line as parsed starts after the file's byte order mark.
    return matchKindHeader(ini.headerLine(section), kind).has_value();
}

std::vector<std::string> kindSectionNames(const ini::ParsedIni& ini, std::string_view kind) {
    std::vector<std::string> names;
    for (const auto& section : ini.sections()) {
        if (isKindSection(ini, section, kind)) {
            std::string name = ini.numberedName(section);
            if (name.size() > kind.size()) { // numbered, or counted in memory
                names.push_back(std::move(name));
            }
        }
    }
    return names;
}

std::string nicknameOf(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section) {
    const ini::ParsedIni::Key* key = ini.findKey(section, "nickname");
    return key ? ini.value(*key) : std::string();
}

namespace {

// The sections of one kind by lower-case nickname, for one layout of one parse: a save of
// many ships looks up each of them, and a scan per lookup would be quadratic.
struct NicknameIndex {
    std::uint64_t stamp = 0;
    std::string kind; // lower case
    std::unordered_map<std::string, std::vector<std::size_t>> sections;
};

const NicknameIndex& indexOf(const ini::ParsedIni& ini, std::string_view kind) {
    // A few at once: a save alternates between files and kinds.
    thread_local std::array<NicknameIndex, 8> indexes;
    thread_local std::size_t next = 0;
    const std::string lowerKind = lowerAsciiCopy(kind);
    for (const NicknameIndex& index : indexes) {
        if (index.stamp == ini.layoutStamp() && index.kind == lowerKind) {
            return index;
        }
    }
    NicknameIndex& index = indexes[next];
    next = (next + 1) % indexes.size();
    index.stamp = ini.layoutStamp();
    index.kind = lowerKind;
    index.sections.clear();
    const auto& sections = ini.sections();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (isKindSection(ini, sections[i], kind)) {
            index.sections[lowerAsciiCopy(nicknameOf(ini, sections[i]))].push_back(i);
        }
    }
    return index;
}

} // namespace

std::vector<std::size_t> sectionsWithNickname(const ini::ParsedIni& ini, std::string_view kind,
                                              std::string_view nickname) {
    if (nickname.empty()) {
        return {};
    }
    const NicknameIndex& index = indexOf(ini, kind);
    const auto found = index.sections.find(lowerAsciiCopy(nickname));
    return found == index.sections.end() ? std::vector<std::size_t>{} : found->second;
}

std::vector<std::size_t> sectionsWithKeyValue(const ini::ParsedIni& ini, std::string_view kind,
                                              std::string_view key, std::string_view value) {
    std::vector<std::size_t> found;
    if (value.empty()) {
        return found;
    }
    const auto& sections = ini.sections();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const ini::ParsedIni::Key* first = ini.findKey(sections[i], key);
        if (first && isKindSection(ini, sections[i], kind) &&
            equalsIgnoringCase(ini.value(*first), value)) {
            found.push_back(i);
        }
    }
    return found;
}

std::vector<std::size_t> keysWithFirstField(const ini::ParsedIni& ini, std::size_t section,
                                            std::string_view key, std::string_view field) {
    std::vector<std::size_t> found;
    const ini::ParsedIni::Section& in = ini.sections()[section];
    for (std::size_t k = in.firstKey; k < in.firstKey + in.keyCount; ++k) {
        const ini::ParsedIni::Key& each = ini.keys()[k];
        if (!equalsIgnoringCase(ini.name(each), key)) {
            continue;
        }
        const std::string value = ini.value(each);
        if (equalsIgnoringCase(trimBlanks(std::string_view(value).substr(0, value.find(','))),
                               field)) {
            found.push_back(k);
        }
    }
    return found;
}

} // namespace skarvel
