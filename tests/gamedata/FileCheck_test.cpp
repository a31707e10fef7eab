#include "GameFolder.h"
#include "gamedata/FileCheck.h"

#include <sys/stat.h>

namespace skarvel::test {
namespace {

constexpr const char* kReadOnlyMessage =
    "One or more ini files were READ_ONLY and could not be set back to WRITE_ABLE\n\r"
    "Sometimes the use of FLMM can have such affects. The most simple solution for this\n\r"
    "problem is to set the file attributes of the inifiles manualy. Only set Readonly to False\n\r"
    "After that trick you should be able to open the inis with this tool";

class FileCheck : public GameFolder {
protected:
    bool check(const DataFileSet& files) {
        last = CheckFilesAndDirs(*journal, dialogs, folders(), files);
        return last.passed;
    }
    FileCheckResult last;
    static void makeReadOnly(const std::string& path) { ::chmod(path.c_str(), 0444); }
};

TEST_F(FileCheck, FindsTheFilesInUpperCaseFolders) {
    const DataFileSet files = makeDataFileSet(gameFolder());
    EXPECT_EQ(files.dataDir, gameFolder() + "DATA/");
    EXPECT_EQ(files.files[kShipArch], gameFolder() + "DATA/SHIPS/shiparch.ini");
    EXPECT_EQ(files.files[kGoods], gameFolder() + "DATA/EQUIPMENT/Goods.ini");
    EXPECT_EQ(files.count, 6);

    EXPECT_TRUE(check(files)); // the journal lines are checked with the open
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(FileCheck, BeforeTheFirstOpenOnlyTheFoldersAreTested) {
    const auto from = mark();
    EXPECT_TRUE(check(DataFileSet{}));
    EXPECT_EQ(linesSince(from).size(), 4u);
}

TEST_F(FileCheck, AGameFolderWithoutItsSlashFindsNoFile) {
    const std::string withoutSlash = (tmp.path() / "game").string();
    const DataFileSet files = makeDataFileSet(withoutSlash);
    EXPECT_EQ(files.dataDir, withoutSlash + "data/");
    form.setText("edPfad", withoutSlash);
    const auto from = mark();
    EXPECT_FALSE(check(files));
    const auto entries = linesSince(from);
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](const std::string& l) {
                                return l.starts_with("[Error  ] File NOT Exists ") &&
                                       l.ends_with(" = False");
                            }),
              6);
    EXPECT_TRUE(dialogs.shown.empty()); // a missing file is told in the journal only
}

TEST_F(FileCheck, MissingFoldersSendTheUserToTheOptionsPage) {
    form.setText("edPfad", gameFolder() + "missing/");
    form.setText("edFliniDir", converterFolder() + "missing/");
    const auto from = mark();
    EXPECT_FALSE(check(DataFileSet{}));
    EXPECT_EQ(linesSince(from),
              (std::vector<std::string>{
                  "[Begin  ] CHECK_FILES_AND_DIRS",
                  "[Error  ] FL Dir Not Exists " + gameFolder() + "missing/ = False",
                  "[Error  ] Bini Dir Not Exists " + converterFolder() + "missing/ = False",
                  "[End    ] CHECK_FILES_AND_DIRS - Elapsed time: 00:00:00"}));
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(dialogs.shown[0].text,
              "The dierctory you specified as the path to the freelancer game directory is not "
              "valid or does not exist - please reenter it");
    EXPECT_EQ(dialogs.shown[1].text,
              "The dierctory you specified as the path for the bini.exe is not valid or does not "
              "exist - please reenter it");
    EXPECT_EQ(last.wrongFolder, skarvel::GameFolder::Converter); // the last one keeps the focus
}

TEST_F(FileCheck, ReadOnlyFilesThatCanBeClearedCountAsGood) {
    const DataFileSet files = makeDataFileSet(gameFolder());
    makeReadOnly(files.files[kConstants]);
    makeReadOnly(files.files[kShipArch]);
    const auto from = mark();
    EXPECT_TRUE(check(files));
    const auto entries = linesSince(from);
    for (const auto& path : {files.files[kConstants], files.files[kShipArch]}) {
        EXPECT_TRUE(contains(entries, "[Error  ] Inidatei " + path + "  ist READ_ONLY"));
        EXPECT_TRUE(contains(entries, "[Action ] WRITE_ABLE wurde gesetzt für [" + path + "]"));
        EXPECT_FALSE(isReadOnly(path));
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(FileCheck, AReadOnlyFileThatStaysSoFailsTheCheckWithOneMessage) {
    const DataFileSet files = makeDataFileSet(gameFolder());
    makeReadOnly(files.files[kMiscEquip]);
    makeReadOnly(files.files[kGoods]);
    setClearReadOnlyForTesting([](const std::string&) { return false; });
    const auto from = mark();
    EXPECT_FALSE(check(files));
    const auto entries = linesSince(from);
    EXPECT_TRUE(contains(entries, "[Error  ] WRITE_ABLE wurde NICHT gesetzt für [" +
                                      files.files[kMiscEquip] + "]"));
    // The entries after the first failure are still tested and journaled.
    EXPECT_TRUE(
        contains(entries, "[Info   ] File Exists " + files.files[kNewCharacter] + " = True"));
    EXPECT_TRUE(contains(entries, "[Info   ] Inidatei " + files.files[kNewCharacter] +
                                      "  ist nicht READ_ONLY"));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(dialogs.shown[0].text, kReadOnlyMessage);
    EXPECT_EQ(last.wrongFolder, std::nullopt);
}

} // namespace
} // namespace skarvel::test
