#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace bini {

// The largest input read, as the editor's readers cap the game's files: a larger one is
// refused before a byte of it is read.
inline constexpr std::uint64_t kMaxInputSize = 64ull * 1024 * 1024;

// The whole file; throws std::runtime_error naming the path and the reason, also for a path
// that is not a regular file (a named pipe, a device, a folder) and for one larger than
// kMaxInputSize, without reading it.
std::string readWholeFile(const std::string& path);

// Writes a temporary file in the target's folder and moves it to the target, so that the
// target appears complete or not at all. No temporary file is left on failure. Without
// replace an existing target is refused ("... exists"), atomically; with it the target is
// replaced and keeps its permission bits (a read-only one stays read-only).
void writeFileAtomically(const std::string& path, std::string_view bytes, bool replace);

} // namespace bini
