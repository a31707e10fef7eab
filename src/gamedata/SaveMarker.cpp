#include "gamedata/SaveMarker.h"

#include "platform/Files.h"

#include <filesystem>
#include <nlohmann/json.hpp>

namespace skarvel {

SaveMarker::SaveMarker(const std::string& stateFolder, const std::string& gameKey)
    : path_((std::filesystem::path(stateFolder) / ("interrupted-save-" + gameKey + ".json"))
                .string()) {}

void SaveMarker::write(const std::string& backupName) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), error);
    const nlohmann::json marker = {{"backup", backupName}};
    writeFileAtomically(path_, marker.dump() + "\n");
}

std::optional<std::string> SaveMarker::backupName() const {
    if (!fileExists(path_)) {
        return std::nullopt;
    }
    try {
        return nlohmann::json::parse(readFile(path_)).at("backup").get<std::string>();
    } catch (const std::exception&) {
        // A marker cut short still tells of a save cut short; no backup can be named.
        return std::string();
    }
}

void SaveMarker::remove() {
    std::error_code error;
    std::filesystem::remove(path_, error);
}

} // namespace skarvel
