#include "gamedata/SectionGuard.h"

#include "gamedata/IniEngine.h"
#include "gamedata/UserIniFile.h"

namespace skarvel {

bool hasSection(const TUserIniFile& ini, std::string_view section) {
    // The engine's parsed copy of the file, checked against the disk: no second parse.
    const auto parsed = ini::currentIni(ini.path());
    return parsed && parsed->findSection(section) != nullptr;
}

void writeChangedValue(TUserIniFile& ini, std::string_view section, std::string_view key,
                       std::string_view value) {
    // No value holds a line break, so this default tells a missing key from any value.
    constexpr std::string_view kMissing = "\n";
    if (value.empty() || ini.ReadValue(section, key, kMissing) == value) {
        return;
    }
    ini.WriteString(section, key, value);
}

} // namespace skarvel
