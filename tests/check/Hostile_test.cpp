// Game folders from anyone: files that are no files, paths that climb out, sizes and bytes
// meant to hang, exhaust or mislead the check. Each is made at run time (links and FIFOs
// cannot live in git), from the clean test mod.
#include "support/CheckRun.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace skarvel::test {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSecret = "SECRET_CONTENT";
// The [Data] line of freelancer.ini that names weapon_equip.ini (line 8).
constexpr std::string_view kWeaponLine = "equipment = equipment\\weapon_equip.ini";

using Damage = std::function<void(const CheckedGame&, const fs::path& file)>;

void makeFifo(const CheckedGame&, const fs::path& file) {
    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
}
void makeFolder(const CheckedGame&, const fs::path& file) {
    fs::remove(file);
    fs::create_directory(file);
}
void makeLoop(const CheckedGame&, const fs::path& file) {
    fs::remove(file);
    fs::create_symlink(file.filename(), file);
}
void makeOverlongLink(const CheckedGame&, const fs::path& file) {
    fs::remove(file);
    fs::create_symlink(std::string(300, 'a'), file); // a name beyond NAME_MAX
}
void makeLinkOut(const CheckedGame& game, const fs::path& file) {
    fs::remove(file);
    fs::create_symlink(game.outside() / "secret.ini", file);
}
void makeDamagedBini(const CheckedGame&, const fs::path& file) {
    writeBytes(file, std::string("BINI\x01\0\0\0\xff\xff\xff\x7f", 12) + std::string(kSecret));
}
void makeNul(const CheckedGame&, const fs::path& file) {
    writeBytes(file, "[Gun]\nnickname = a\n" + std::string(1, '\0') + std::string(kSecret));
}
void makeHuge(const CheckedGame&, const fs::path& file) {
    writeBytes(file, "[Gun]\n");
    fs::resize_file(file, std::uintmax_t{1} << 40); // 1 TB, sparse
}

struct Kind {
    const char* what;
    Damage damage;
    std::string_view reason;
};

const std::vector<Kind>& kinds() {
    static const std::vector<Kind> all = {
        {"a FIFO", makeFifo, "is not a regular file"},
        {"a folder", makeFolder, "is not a regular file"},
        {"a symlink loop", makeLoop, "cannot be read: "},
        {"an over-long link", makeOverlongLink, "cannot be read: "},
        {"a link out of the game", makeLinkOut, "names a file outside the game folder"},
        {"a damaged BINI", makeDamagedBini, "cannot be parsed: "},
        {"a NUL byte", makeNul, "cannot be parsed: "},
        {"1 TB", makeHuge, "is larger than the 64 MB cap"},
    };
    return all;
}

class HostileMod : public ::testing::Test {
protected:
    HostileMod() {
        writeBytes(mod.outside() / "secret.ini",
                   "[Gun]\nnickname = " + std::string(kSecret) + "\n");
    }
    CheckOutcome check() const {
        const std::string folder = mod.folder();
        CheckOutcome run = runCheck({folder});
        EXPECT_EQ(run.out.find(kSecret), std::string::npos) << run.out;
        EXPECT_EQ(run.err.find(kSecret), std::string::npos) << run.err;
        return run;
    }

    CheckedGame mod{"check-clean"};
};

// freelancer.ini that cannot be read ends the check: no other file stands in for it.
TEST_F(HostileMod, AnUnreadableFreelancerIniEndsTheCheck) {
    for (const Kind& kind : kinds()) {
        SCOPED_TRACE(kind.what);
        const CheckedGame game("check-clean");
        writeBytes(game.outside() / "secret.ini", "[Data]\nships = " + std::string(kSecret));
        kind.damage(game, game.game() / "EXE/freelancer.ini");
        const std::string folder = game.folder();
        const CheckOutcome run = runCheck({folder});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("skarvel: EXE/freelancer.ini " + std::string(kind.reason), 0), 0u)
            << run.err;
        EXPECT_EQ(run.err.find(kSecret), std::string::npos);
    }
}

TEST_F(HostileMod, AFolderThisUserCannotListSaysSo) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every folder";
    }
    fs::permissions(mod.game() / "EXE", fs::perms::none);
    const CheckOutcome run = check();
    fs::permissions(mod.game() / "EXE", fs::perms::owner_all);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("Permission denied"), std::string::npos) << run.err;
}

// A file a [Data] line names is an error at that line, saying what is wrong with it.
TEST_F(HostileMod, AnUnreadableNamedFileIsAnErrorAtItsLine) {
    for (const Kind& kind : kinds()) {
        SCOPED_TRACE(kind.what);
        const CheckedGame game("check-clean");
        writeBytes(game.outside() / "secret.ini", "[Gun]\nnickname = " + std::string(kSecret));
        kind.damage(game, game.game() / "DATA/Equipment/weapon_equip.ini");
        const std::string folder = game.folder();
        const CheckOutcome run = runCheck({folder, "--rules", "file"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out.rfind("EXE/freelancer.ini:9: error: [file] ", 0), 0u) << run.out;
        EXPECT_NE(run.out.find(std::string(kind.reason)), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find(kSecret), std::string::npos);
    }
}

// newcharacter.ini is named by no line: its problem stands at the file itself.
TEST_F(HostileMod, AnUnreadableFileNoLineNamesIsAnErrorAtTheFile) {
    for (const Kind& kind : kinds()) {
        SCOPED_TRACE(kind.what);
        const CheckedGame game("check-clean");
        writeBytes(game.outside() / "secret.ini", "[Faction]\nbase = " + std::string(kSecret));
        kind.damage(game, game.game() / "DATA/characters/newcharacter.ini");
        const std::string folder = game.folder();
        const CheckOutcome run = runCheck({folder, "--rules", "file"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out.rfind("DATA/characters/newcharacter.ini:0: error: [file] ", 0), 0u)
            << run.out;
        EXPECT_NE(run.out.find(std::string(kind.reason)), std::string::npos) << run.out;
    }
}

// Paths that climb out of the game folder are refused, whichever way they climb.
TEST_F(HostileMod, PathsOutOfTheGameFolderAreRefused) {
    const struct {
        const char* what;
        std::function<void(const CheckedGame&)> plant;
        std::string_view expected;
    } cases[] = {
        {"..\\ in a [Data] line",
         [](const CheckedGame& game) {
             game.edit("EXE/freelancer.ini", kWeaponLine,
                       "equipment = ..\\..\\outside\\secret.ini");
         },
         "EXE/freelancer.ini:9: error: [file] "},
        {"../ in a [Data] line",
         [](const CheckedGame& game) {
             game.edit("EXE/freelancer.ini", kWeaponLine, "equipment = ../../outside/secret.ini");
         },
         "EXE/freelancer.ini:9: error: [file] "},
        {"a folder linked out",
         [](const CheckedGame& game) {
             fs::rename(game.game() / "DATA/SHIPS", game.outside() / "SHIPS");
             fs::create_directory_symlink(game.outside() / "SHIPS", game.game() / "DATA/SHIPS");
         },
         "EXE/freelancer.ini:13: error: [file] "},
        {"a model path with ..\\",
         [](const CheckedGame& game) {
             game.edit("DATA/SHIPS/shiparch.ini", "ships\\liberty\\li_elite\\li_elite.cmp",
                       "..\\..\\outside\\secret.ini");
         },
         "DATA/SHIPS/shiparch.ini:14: error: [named-file] DA_archetype "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CheckedGame game("check-clean");
        writeBytes(game.outside() / "secret.ini", "[Ship]\nnickname = " + std::string(kSecret));
        c.plant(game);
        const std::string folder = game.folder();
        const CheckOutcome run = runCheck({folder});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.out.find(std::string(c.expected)), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("names a file outside the game folder"), std::string::npos);
        EXPECT_EQ(run.out.find(kSecret), std::string::npos) << run.out;
    }
}

// A resource DLL outside the game folder gives no names: its strings are never read.
TEST_F(HostileMod, ADllPathOutOfTheGameGivesNoNames) {
    writeBytes(mod.outside() / "names.dll", readBytes(mod.game() / "EXE/resources.dll"));
    mod.edit("EXE/freelancer.ini", "DLL = nameresources.dll", "DLL = ..\\..\\outside\\names.dll");
    // 66539 is string 1003 of resource file 1, the DLL line: resolved only if it were read.
    mod.edit("DATA/Equipment/misc_equip.ini", "ids_name = 1003", "ids_name = 66539");
    const std::string folder = mod.folder();
    const CheckOutcome run = runCheck({folder, "--rules", "name"});
    EXPECT_NE(run.out.find("[name] ids_name '66539' names no string"), std::string::npos)
        << run.out;
}

// Bare CR line ends are line ends: every problem at its true line.
TEST_F(HostileMod, BareCrLineEndsGiveTheSameLines) {
    const CheckedGame broken("check-broken");
    const std::string folder = broken.folder();
    const CheckOutcome before = runCheck({folder});
    for (const auto& entry : fs::recursive_directory_iterator(broken.game())) {
        if (entry.path().extension() == ".ini") {
            std::string bytes = readBytes(entry.path());
            std::string bare;
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                    continue;
                }
                bare += bytes[i] == '\n' ? '\r' : bytes[i];
            }
            writeBytes(entry.path(), bare);
        }
    }
    const CheckOutcome after = runCheck({folder});
    EXPECT_EQ(after.out, before.out);
    EXPECT_NE(after.out.find("DATA/SHIPS/shiparch.ini:11: error: [number]"), std::string::npos);
}

} // namespace
} // namespace skarvel::test
