#include "ships/SectionGuard.h"

#include "gamedata/UserIniFile.h"
#include "ships/TextParts.h"

#include <algorithm>

namespace skarvel {

bool hasSection(const TUserIniFile& ini, std::string_view section) {
    const auto sections = ini.ListSections();
    return std::any_of(sections.begin(), sections.end(), [section](const std::string& name) {
        return equalsIgnoreCase(name, section);
    });
}

} // namespace skarvel
