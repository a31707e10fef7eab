#pragma once

#include "support/TestFiles.h"

#include <string>
#include <string_view>
#include <vector>

namespace skarvel::test {

// What `skarvel --check ARGUMENTS` gives.
struct CheckOutcome {
    int exitCode = 0;
    std::string out;
    std::string err;
};
CheckOutcome runCheck(const std::vector<std::string_view>& arguments);

// A test mod of tests/data copied to game/ of a temporary folder, with the resource DLL the
// game's names come from (built here: the fixtures hold only text). outside/ beside it is a
// folder that a path of the game must never reach.
class CheckedGame {
public:
    explicit CheckedGame(const std::string& fixture);
    std::filesystem::path game() const { return tmp.path() / "game"; }
    std::filesystem::path outside() const { return tmp.path() / "outside"; }
    std::string folder() const { return game().string(); }
    // Replaces text in a file of the game (a path below game/); the text must be there.
    void edit(const std::string& file, std::string_view from, std::string_view to) const;

    TempDir tmp;
};

} // namespace skarvel::test
