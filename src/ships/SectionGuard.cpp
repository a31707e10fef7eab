#include "ships/SectionGuard.h"

#include "gamedata/IniEngine.h"
#include "gamedata/UserIniFile.h"

namespace skarvel {

bool hasSection(const TUserIniFile& ini, std::string_view section) {
    // The engine's parsed copy of the file, checked against the disk: no second parse.
    const auto parsed = ini::currentIni(ini.path());
    return parsed && parsed->findSection(section) != nullptr;
}

} // namespace skarvel
