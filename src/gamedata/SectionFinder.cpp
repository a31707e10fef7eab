#include "gamedata/SectionFinder.h"

#include "gamedata/SectionHeader.h"
#include "platform/AsciiText.h"

namespace skarvel {

bool isKindSection(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section,
                   std::string_view kind) {
    // The header line as parsed starts after the file's byte order mark.
    return matchKindHeader(ini.headerLine(section), kind).has_value();
}

std::string nicknameOf(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section) {
    const ini::ParsedIni::Key* key = ini.findKey(section, "nickname");
    return key ? ini.value(*key) : std::string();
}

std::vector<std::size_t> sectionsWithNickname(const ini::ParsedIni& ini, std::string_view kind,
                                              std::string_view nickname) {
    std::vector<std::size_t> found;
    if (nickname.empty()) {
        return found;
    }
    const auto& sections = ini.sections();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (isKindSection(ini, sections[i], kind) &&
            equalsIgnoringCase(nicknameOf(ini, sections[i]), nickname)) {
            found.push_back(i);
        }
    }
    return found;
}

} // namespace skarvel
