#pragma once

#include <cstdint>
#include <optional>
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

// What a backup holds and why it was made; stored in its folder as manifest.json.
struct BackupManifest {
    std::string time;    // local time, ISO 8601 with offset
    std::string utc;     // the same instant in UTC with microseconds; empty in older backups
    std::string version; // the program's version
    std::string cause;   // "open", "save", "restore" or "manual"
    std::string game;    // the game folder's canonical path
    // True: the files' bytes are in the store's objects, named by their hashes. False (older
    // backups): the files lie beside the manifest.
    bool objects = false;
    std::vector<BackupFile> files;
};

inline constexpr std::string_view kManifestName = "manifest.json";

std::string manifestToJson(const BackupManifest& manifest);
// Throws std::runtime_error for text that is not a manifest.
BackupManifest manifestFromJson(std::string_view json);

// Microseconds since 1970 in UTC of "2026-12-08T09:31:05.123456Z" or of
// "2026-12-08T10:31:05+01:00"; nullopt for anything else.
std::optional<std::int64_t> utcMicroseconds(std::string_view isoTime);
// The manifest's instant: from utc when there, else from the local time and its offset.
std::optional<std::int64_t> instantOf(const BackupManifest& manifest);

} // namespace skarvel
