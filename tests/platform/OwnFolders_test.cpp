#include "platform/OwnFolders.h"
#include "support/ScopedVariable.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace skarvel {
namespace {

using test::ScopedVariable;
using test::TempDir;

// A writable folder keeps everything beside the program, except below /usr: root may write
// there, but the package manager owns it.
TEST(OwnFolders, WritableProgramFolderKeepsEverythingBesideTheProgramOutsideUsr) {
    for (const auto& [program, beside] : {std::pair{"/opt/skarvel", true},
                                          {"/home/pilot/skarvel/", true},
                                          {"/usrlocal/skarvel", true},
                                          {"/usr/lib/skarvel", false},
                                          {"/usr/lib/skarvel/", false},
                                          {"/usr/local/lib/skarvel", false},
                                          {"/opt/../usr/lib/skarvel", false}}) {
        SCOPED_TRACE(program);
        const OwnFolders folders =
            chooseOwnFolders(program, true, {"/state", "/data", "/home/pilot"});
        EXPECT_EQ(folders.inProgramFolder, beside);
        EXPECT_EQ(folders.journal, beside ? program : "/state/Skarvel/");
        EXPECT_EQ(folders.copiesBase, beside ? program : "/data/Skarvel/");
    }
}

TEST(OwnFolders, ReadOnlyProgramFolderUsesTheUsersBaseFolders) {
    struct Case {
        UserBaseFolders user;
        std::string journal;
        std::string copiesBase;
    };
    for (const Case& c : {
             Case{{"/s", "/d", "/home/pilot"}, "/s/Skarvel/", "/d/Skarvel/"},
             Case{{"/s/", "/d/", "/home/pilot"}, "/s/Skarvel/", "/d/Skarvel/"},
             Case{{"", "", "/home/pilot"},
                  "/home/pilot/.local/state/Skarvel/",
                  "/home/pilot/.local/share/Skarvel/"},
             Case{{"", "", "/home/pilot/"},
                  "/home/pilot/.local/state/Skarvel/",
                  "/home/pilot/.local/share/Skarvel/"},
             // A relative base is not valid and counts as unset.
             Case{{"state", "./data", "/home/pilot"},
                  "/home/pilot/.local/state/Skarvel/",
                  "/home/pilot/.local/share/Skarvel/"},
             Case{{"/s", "", "/home/pilot"}, "/s/Skarvel/", "/home/pilot/.local/share/Skarvel/"},
         }) {
        SCOPED_TRACE(c.journal + " " + c.copiesBase);
        const OwnFolders folders = chooseOwnFolders("/usr/lib/skarvel", false, c.user);
        EXPECT_EQ(folders.journal, c.journal);
        EXPECT_EQ(folders.copiesBase, c.copiesBase);
        EXPECT_FALSE(folders.inProgramFolder);
    }
}

TEST(OwnFolders, WritableMeansTheUserCanCreateFilesInAnExistingFolder) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "locked");
    std::filesystem::permissions(dir.path() / "locked", std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::owner_exec);
    test::writeBytes(dir.path() / "file", "x");
    EXPECT_TRUE(folderWritable(dir.path().string()));
    EXPECT_TRUE(folderWritable(dir.folder()));
    EXPECT_FALSE(folderWritable((dir.path() / "missing").string()));
    EXPECT_FALSE(folderWritable((dir.path() / "file").string()));
    if (::geteuid() != 0) { // root writes everywhere
        EXPECT_FALSE(folderWritable((dir.path() / "locked").string()));
    }
}

TEST(OwnFolders, TheProcessChoiceCreatesTheFoldersOutsideTheProgramFolder) {
    TempDir dir;
    const ScopedVariable state("XDG_STATE_HOME", (dir.path() / "state").string());
    const ScopedVariable data("XDG_DATA_HOME", (dir.path() / "data").string());

    const OwnFolders away = ownFolders((dir.path() / "no-program").string());
    EXPECT_EQ(away.journal, (dir.path() / "state/Skarvel/").string());
    EXPECT_EQ(away.copiesBase, (dir.path() / "data/Skarvel/").string());
    EXPECT_TRUE(std::filesystem::is_directory(away.journal));
    EXPECT_TRUE(std::filesystem::is_directory(away.copiesBase));

    const OwnFolders beside = ownFolders(dir.folder());
    EXPECT_TRUE(beside.inProgramFolder);
    EXPECT_EQ(beside.journal, dir.folder());
}

} // namespace
} // namespace skarvel
