#pragma once

#include <optional>
#include <string>

namespace skarvel {

// Left in the state folder while a save writes the game's files, naming the backup made
// for that save: found at the next open, it tells that the save was cut short.
class SaveMarker {
public:
    // One marker per game, so that two games saved at once do not share one.
    SaveMarker(const std::string& stateFolder, const std::string& gameKey);

    // Written to disk before the save's first write; throws std::runtime_error.
    void write(const std::string& backupName);
    // The backup named by a marker left behind.
    std::optional<std::string> backupName() const;
    void remove();

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

} // namespace skarvel
