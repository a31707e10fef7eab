#include "gamedata/BackupManifest.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace skarvel {

std::string manifestToJson(const BackupManifest& manifest) {
    nlohmann::ordered_json files = nlohmann::ordered_json::array();
    for (const BackupFile& file : manifest.files) {
        files.push_back({{"path", file.path}, {"size", file.size}, {"sha256", file.sha256}});
    }
    const nlohmann::ordered_json json = {{"time", manifest.time},
                                         {"version", manifest.version},
                                         {"cause", manifest.cause},
                                         {"game", manifest.game},
                                         {"files", files}};
    // Paths are the game's bytes, not always UTF-8: keep them as they are.
    return json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

BackupManifest manifestFromJson(std::string_view text) {
    try {
        const auto json = nlohmann::json::parse(text);
        BackupManifest manifest;
        manifest.time = json.at("time").get<std::string>();
        manifest.version = json.at("version").get<std::string>();
        manifest.cause = json.at("cause").get<std::string>();
        manifest.game = json.value("game", std::string());
        for (const auto& file : json.at("files")) {
            manifest.files.push_back({file.at("path").get<std::string>(),
                                      file.at("size").get<std::uint64_t>(),
                                      file.at("sha256").get<std::string>()});
        }
        return manifest;
    } catch (const nlohmann::json::exception& error) {
        throw std::runtime_error(std::string("not a backup manifest: ") + error.what());
    }
}

} // namespace skarvel
