#include "commands/DemoGame.h"

#include "BiniFormat.h"
#include "platform/Files.h"
#include "platform/OwnFolders.h"
#include "platform/WineRegistry.h"
#include "ports/Dialogs.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace skarvel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSystemReg = "WINE REGISTRY Version 2\n"
                                        ";; All keys relative to \\\\Machine\n"
                                        "\n"
                                        "#arch=win32\n"
                                        "\n"
                                        "[Software\\\\Microsoft\\\\Microsoft Games\\\\Freelancer"
                                        "\\\\1.0] 1717171717\n"
                                        "\"AppPath\"=\"C:\\\\Games\\\\Freelancer\"\n";

// Kept as text in the sources; the game (and the editor's first open) expects it compressed.
constexpr const char* kCompressedFile = "DATA/EQUIPMENT/misc_equip.ini";

// Installed from the package the files may be read-only; the copy is the user's to edit.
void makeOwnerWritable(const fs::path& folder) {
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        fs::permissions(entry.path(), fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::add);
    }
}

// A copy that failed half-way is not left behind.
class RemovedUnlessKept {
public:
    explicit RemovedUnlessKept(fs::path folder) : folder_(std::move(folder)) {}
    ~RemovedUnlessKept() {
        if (!kept_) {
            std::error_code ignored;
            fs::remove_all(folder_, ignored);
        }
    }
    RemovedUnlessKept(const RemovedUnlessKept&) = delete;
    RemovedUnlessKept& operator=(const RemovedUnlessKept&) = delete;
    void keep() { kept_ = true; }

private:
    fs::path folder_;
    bool kept_ = false;
};

std::string withoutTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

} // namespace

DemoGame::DemoGame(std::string source, std::string prefix)
    : source_(std::move(source)), prefix_(withoutTrailingSlash(std::move(prefix))) {}

std::string DemoGame::gameFolder() const {
    return prefix_ + "/drive_c/Games/Freelancer/";
}

void DemoGame::prepare(Dialogs& dialogs) const {
    const bool keep = directoryExists(gameFolder()) &&
                      !isYes(dialogs.message(MessageKind::Confirmation,
                                             "A demo game from an earlier run is in " +
                                                 gameFolder() + ". Replace it with a fresh copy?"));
    if (!keep) {
        layOutGame();
    }
    layOutPrefix();
}

void DemoGame::layOutPrefix() const {
    const fs::path devices = fs::path(prefix_) / "dosdevices";
    fs::create_directories(devices);
    if (!fs::exists(fs::symlink_status(devices / "c:"))) {
        fs::create_directory_symlink("../drive_c", devices / "c:");
    }
    // The prefix is the program's own: a registry without the game's key is replaced.
    if (!findGame(prefix_).keyFound) {
        writeFileAtomically(prefix_ + "/system.reg", kSystemReg);
    }
}

void DemoGame::layOutGame() const {
    const fs::path data = fs::path(source_) / "DATA";
    if (source_.empty() || !fs::is_directory(data)) {
        throw std::runtime_error("The demo game is not installed: " + data.string() +
                                 " is missing");
    }
    // The new copy is made beside the old one and swapped in whole.
    const fs::path games = fs::path(prefix_) / "drive_c" / "Games";
    const fs::path staging = games / ".Freelancer-new";
    fs::create_directories(games);
    fs::remove_all(staging);
    RemovedUnlessKept stagingGuard(staging);
    fs::create_directory(staging);
    fs::copy(data, staging / "DATA", fs::copy_options::recursive);
    makeOwnerWritable(staging);
    const std::string compressed = (staging / kCompressedFile).string();
    writeFileAtomically(compressed, bini::fromText(readFile(compressed)), false);

    const fs::path game = games / "Freelancer";
    fs::remove_all(game);
    fs::rename(staging, game);
    stagingGuard.keep();
}

std::string shippedDemoGame(const std::string& executableFolder) {
    for (const char* relative : {"../../share/skarvel/demo-game", "demo-game"}) {
        const fs::path candidate = (fs::path(executableFolder) / relative).lexically_normal();
        if (fs::is_directory(candidate / "DATA")) {
            return candidate.string();
        }
    }
    return {};
}

std::string useDemoGame(Dialogs& dialogs, const std::string& executableFolder) {
    const DemoGame demo(shippedDemoGame(executableFolder), userDemoFolder());
    demo.prepare(dialogs);
    ::setenv("WINEPREFIX", demo.prefix().c_str(), 1);
    return demo.gameFolder();
}

} // namespace skarvel
