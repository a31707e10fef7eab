#pragma once

#include "gamedata/BackupManifest.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace skarvel {

// The manifests of a store's backups, each read and parsed once. A manifest does not change
// once its folder is in place, so a listing (every save lists the store twice) reads only
// the new ones; one whose size or time changed is read again.
class ManifestCache {
public:
    // The manifest of the backup in that folder, or nothing when it cannot be read.
    std::optional<BackupManifest> read(const std::string& folder);

private:
    struct Known {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type time;
        std::optional<BackupManifest> manifest;
    };
    std::mutex guard_;
    std::map<std::string, Known> known_;
};

} // namespace skarvel
