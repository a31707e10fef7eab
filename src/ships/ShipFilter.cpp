#include "ships/ShipFilter.h"

#include "gamedata/DataSet.h"
#include "gamedata/IniEngine.h"
#include "gamedata/UserIniFile.h"
#include "journal/Encoding.h"
#include "platform/AsciiText.h"

namespace skarvel {

namespace {

// Lower case of A-Z and of U+00C0..U+00DE without the multiplication sign, which UTF-8
// writes as 0xC3 0x80..0x9E: the lower case letter is 0x20 further, in the same length.
std::string folded(std::string_view utf8) {
    std::string text(utf8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = lowerAscii(text[i]);
        if (text[i] == '\xC3' && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97) {
                text[++i] = static_cast<char>(next + 0x20);
            }
        }
    }
    return text;
}

bool containsFolded(std::string_view text, std::string_view part) {
    return folded(text).find(folded(part)) != std::string::npos;
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
        nicknames.push_back(fromCp1252(dataSet.shipArchIni().ReadValue(section, "nickname", "")));
    }
    return nicknames;
}

bool shipMatchesFilter(std::string_view name, std::string_view nickname, std::string_view text) {
    return containsFolded(name, text) || containsFolded(nickname, text);
}

} // namespace skarvel
