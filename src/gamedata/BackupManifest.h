#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

// One file of a backup: its path below the data folder in the game's own spelling.
struct BackupFile {
    std::string path;
    std::uint64_t size = 0;
    std::string sha256;

    bool operator==(const BackupFile&) const = default;
};

// What a backup holds and why it was made; stored beside its files as manifest.json.
struct BackupManifest {
    std::string time;    // local time, ISO 8601 with offset
    std::string version; // the program's version
    std::string cause;   // "open", "save", "restore" or "manual"
    std::string game;    // the game folder's canonical path
    std::vector<BackupFile> files;
};

inline constexpr std::string_view kManifestName = "manifest.json";

std::string manifestToJson(const BackupManifest& manifest);
// Throws std::runtime_error for text that is not a manifest.
BackupManifest manifestFromJson(std::string_view json);

} // namespace skarvel
