#include "trade/TradeFiles.h"

#include "BiniFormat.h"
#include "platform/Files.h"

#include <stdexcept>

namespace skarvel::trade {

std::shared_ptr<const ini::ParsedIni> readSettingsFile(const std::string& path) {
    if (!fileExists(path)) {
        throw std::runtime_error("the file is missing");
    }
    auto parsed = ini::currentIni(path);
    if (!parsed) {
        throw std::runtime_error("the file cannot be read");
    }
    if (parsed->bytes().starts_with("BINI")) {
        try {
            return std::make_shared<const ini::ParsedIni>(bini::toText(parsed->bytes()));
        } catch (const bini::FormatError& error) {
            throw std::runtime_error(std::string("the compressed file is damaged: ") +
                                     error.what());
        }
    }
    if (!parsed->isText()) {
        throw std::runtime_error("the file is not text");
    }
    return parsed;
}

std::string keyValue(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section,
                     std::string_view key) {
    const auto* found = ini.findKey(section, key);
    return found ? ini.value(*found) : std::string();
}

} // namespace skarvel::trade
