#pragma once

#include <string>

namespace skarvel {

class Dialogs;

// The demo game shipped with the program, laid out as a Wine prefix of its own, so that the
// editor finds it the way it finds an installed game:
//   <prefix>/system.reg                       the game's key, AppPath C:\Games\Freelancer
//   <prefix>/dosdevices/c: -> ../drive_c
//   <prefix>/drive_c/Games/Freelancer/DATA/   a copy of the shipped DATA, misc_equip.ini
//                                             converted to the game's compressed form
class DemoGame {
public:
    // source: the folder holding the shipped DATA; prefix: the folder to lay out.
    DemoGame(std::string source, std::string prefix);

    // Lays out a fresh copy. When a copy is there already the user is asked first; No keeps
    // it (and completes the prefix around it). Throws std::runtime_error when the copy
    // cannot be made; an old copy then stays as it was.
    void prepare(Dialogs& dialogs) const;

    const std::string& prefix() const { return prefix_; }
    // <prefix>/drive_c/Games/Freelancer/
    std::string gameFolder() const;

private:
    void layOutPrefix() const;
    void layOutGame() const;

    std::string source_;
    std::string prefix_;
};

// The shipped demo game next to the program: share/skarvel/demo-game beside lib/skarvel/
// (cmake/Install.cmake), else demo-game/ in the program's own folder (the build tree).
// Empty when neither exists.
std::string shippedDemoGame(const std::string& executableFolder);

// skarvel --demo: prepares the demo game in userDemoFolder() and points $WINEPREFIX at it,
// so that the start-up finds it. Returns the game's folder.
std::string useDemoGame(Dialogs& dialogs, const std::string& executableFolder);

} // namespace skarvel
