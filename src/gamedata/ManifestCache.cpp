#include "gamedata/ManifestCache.h"

#include "platform/Files.h"

namespace skarvel {

std::optional<BackupManifest> ManifestCache::read(const std::string& folder) {
    const std::filesystem::path path = std::filesystem::path(folder) / kManifestName;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    const std::filesystem::file_time_type time =
        error ? std::filesystem::file_time_type{} : std::filesystem::last_write_time(path, error);
    const std::lock_guard lock(guard_);
    if (error) {
        known_.erase(folder);
        return std::nullopt;
    }
    if (const auto found = known_.find(folder);
        found != known_.end() && found->second.size == size && found->second.time == time) {
        return found->second.manifest;
    }
    Known known{size, time, std::nullopt};
    try {
        known.manifest = manifestFromJson(readFile(path.string()));
    } catch (const std::exception&) {
        // Not one of ours, or damaged: it is not offered.
    }
    return known_.insert_or_assign(folder, std::move(known)).first->second.manifest;
}

} // namespace skarvel
