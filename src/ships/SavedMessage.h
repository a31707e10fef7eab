#pragma once

#include <string>

namespace skarvel {

struct OwnFolders;

// The information box after a save: kSavedMessage while the copies lie beside the program,
// otherwise the same news naming the folder that holds them.
std::string savedMessage(const OwnFolders& folders);

} // namespace skarvel
