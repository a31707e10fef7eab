#include "trade/TradeFiles.h"

namespace skarvel::trade {

std::string keyValue(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section,
                     std::string_view key) {
    const auto* found = ini.findKey(section, key);
    return found ? ini.value(*found) : std::string();
}

} // namespace skarvel::trade
