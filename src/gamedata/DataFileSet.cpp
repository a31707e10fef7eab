#include "gamedata/DataFileSet.h"

#include "platform/CaseInsensitivePath.h"

namespace skarvel {

DataFileSet makeDataFileSet(std::string_view gameDirectory) {
    DataFileSet set;
    // Installs spell the folders "DATA", "Data" or "data"; the journal shows the path as found.
    set.dataDir = resolveCaseInsensitive(std::string(gameDirectory) + "data/");
    for (std::size_t i = 0; i < kDataFileNames.size(); ++i) {
        set.files[i] = resolveCaseInsensitive(set.dataDir + std::string(kDataFileNames[i]));
    }
    set.count = static_cast<int>(kDataFileNames.size());
    return set;
}

} // namespace skarvel
