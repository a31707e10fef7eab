#pragma once

#include <string>
#include <string_view>

namespace bini {

// The whole file; throws std::runtime_error naming the path and the reason, also for a path
// that is not a regular file (a named pipe, a device, a folder), without opening it.
std::string readWholeFile(const std::string& path);

// Writes a temporary file in the target's folder and renames it over the target, so that
// the target appears complete or not at all. No temporary file is left on failure.
void writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace bini
