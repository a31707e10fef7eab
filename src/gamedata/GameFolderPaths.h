#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace skarvel {

// No data file of the game comes near this; a larger one is refused unread, so a crafted
// sparse file cannot exhaust memory.
inline constexpr std::uint64_t kDataFileSizeCap = 64ull * 1024 * 1024;

// Paths that data files name, resolved inside one game folder the way the game finds them:
// any letter case, '\' or '/', relative to a folder below the root. A path that climbs above
// the root, an absolute one, or one through a symbolic link whose target leaves the root is
// refused; links that stay inside are followed. Each folder is listed once per object and
// each distinct path resolved once, so thousands of data lines cost one listing. Not
// thread-safe: one object per thread.
class GameFolderPaths {
public:
    // root: the game folder; an existing folder, resolved through links once.
    explicit GameFolderPaths(std::string root);

    const std::string& root() const { return root_; } // ends with '/'

    struct Resolved {
        std::string path;    // absolute; as spelled on disk as far as it exists
        std::string shown;   // below the root, '/' separators, as spelled on disk
        std::string refusal; // empty when found, else "is missing", "names a file outside..."
        bool found() const { return refusal.empty(); }
    };

    // base: a folder below the root as the data spells it ("DATA", "DATA\UNIVERSE"), "" for
    // the root; named: what a data file says ("ships\shiparch.ini").
    Resolved resolve(std::string_view base, std::string_view named) const;

private:
    struct Listing {
        std::unordered_set<std::string> exact;
        std::unordered_map<std::string, std::string> byLowerCase; // the first in sorted order
        int error = 0;                                            // errno of opendir, or 0
    };
    const Listing& listingOf(const std::string& folder) const;
    Resolved resolveUncached(const std::string& joined) const;

    std::string root_;
    mutable std::unordered_map<std::string, Listing> listings_;
    mutable std::unordered_map<std::string, Resolved> resolved_;
};

} // namespace skarvel
