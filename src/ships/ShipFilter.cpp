#include "ships/ShipFilter.h"

#include "gamedata/DataSet.h"
#include "gamedata/IniEngine.h"
#include "gamedata/UserIniFile.h"

#include <algorithm>

namespace skarvel {

namespace {

// Lower case of a Latin-1 byte: A-Z and À-Þ without the multiplication sign.
char folded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7)) {
        return static_cast<char>(byte + 0x20);
    }
    return c;
}

bool containsFolded(std::string_view text, std::string_view part) {
    const auto found = std::search(text.begin(), text.end(), part.begin(), part.end(),
                                   [](char a, char b) { return folded(a) == folded(b); });
    return found != text.end() || part.empty();
}

} // namespace

std::vector<std::string> shipNicknames(const DataSet& dataSet) {
    std::vector<std::string> nicknames;
    if (!dataSet.isOpen()) {
        return nicknames;
    }
    const ini::ReadOnlyPhase readOnly;
    const auto& ships = dataSet.sections().ships;
    nicknames.reserve(ships.size());
    for (const std::string& section : ships) {
        nicknames.push_back(dataSet.shipArchIni().ReadValue(section, "nickname", ""));
    }
    return nicknames;
}

bool shipMatchesFilter(std::string_view name, std::string_view nickname, std::string_view text) {
    return containsFolded(name, text) || containsFolded(nickname, text);
}

} // namespace skarvel
