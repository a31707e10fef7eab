#include "GameFolder.h"
#include "gamedata/Unpack.h"
#include "gamedata/UserIniFile.h"
#include "support/ScopedVariable.h"

#include <cstdlib>

namespace skarvel::test {
namespace {

using Lines = std::vector<std::string>;

// The magic alone: compressed, but too short for the converter.
const std::string kCutBini = "BINI";

class Unpacking : public GameFolder {
protected:
    std::optional<UnpackFailure> unpack() {
        return UnpackCompressedFiles(*journal, converterFolder(), files);
    }
    std::vector<std::string> sectionsOf(const std::string& relative) {
        return TUserIniFile(gameFile(relative), *journal).ListSections();
    }
    bool leftOver(const std::string& relative) const {
        return std::filesystem::exists(gameFile(relative) + ".txt");
    }

    DataFileSet files = makeDataFileSet(gameFolder());
};

TEST_F(Unpacking, CompressedFilesAreReplacedByTheirTextForm) {
    installConverter();
    const auto shipSections = sectionsOf("Ships/shiparch.ini");
    const auto miscSections = sectionsOf("Equipment/misc_equip.ini");
    compress("Ships/shiparch.ini");
    compress("Equipment/misc_equip.ini");

    const auto from = mark();
    EXPECT_FALSE(unpack());
    const auto entries = linesSince(from);
    for (const auto* name : {"Ships/shiparch.ini", "Equipment/misc_equip.ini"}) {
        const std::string path = gameFile(name);
        EXPECT_TRUE(contains(entries, "[Info   ] IS_COMPRESSED_INI (" + path + ") = True"));
        EXPECT_TRUE(contains(entries, "[Info   ] Entpacke Datei [" + path + "]  ErrC= 0"));
        EXPECT_FALSE(leftOver(name));
    }
    EXPECT_EQ(sectionsOf("Ships/shiparch.ini"), shipSections);
    EXPECT_EQ(sectionsOf("Equipment/misc_equip.ini"), miscSections);
    // The converter ran on these two only.
    EXPECT_EQ(
        std::count_if(entries.begin(), entries.end(),
                      [](const std::string& l) { return l.find("Entpacke Datei") != l.npos; }),
        2);
}

TEST_F(Unpacking, AFileReachedThroughALinkKeepsItsLink) {
    installConverter();
    compress("Ships/shiparch.ini");
    // The game's file is a link to a file kept elsewhere, as mod managers lay them out.
    const std::filesystem::path link = gameFile("Ships/shiparch.ini");
    const std::filesystem::path kept = link.parent_path() / "kept_shiparch.ini";
    std::filesystem::rename(link, kept);
    std::filesystem::create_symlink("kept_shiparch.ini", link);
    EXPECT_FALSE(unpack());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_FALSE(sectionsOf("Ships/shiparch.ini").empty());
}

// Only the BINI magic makes a file compressed: an emptied file or one with a NUL byte is
// damaged, and the converter must not be run on it.
TEST_F(Unpacking, OnlyAFileStartingWithTheMagicCountsAsCompressed) {
    const std::pair<std::string, bool> cases[] = {
        {"", false},
        {std::string("[Ship]\r\nnickname = a\0b\r\n", 25), false},
        {"; a file of comments only\r\n", false},
        {"[Ship]\r\n", false},
        {"BINI", true},
    };
    for (const auto& [bytes, compressed] : cases) {
        writeBytes(gameFile("constants.ini"), bytes);
        EXPECT_EQ(IsCompressedIni(gameFile("constants.ini"), *journal), compressed) << bytes;
    }
}

TEST_F(Unpacking, ACutCompressedFileIsRefusedWhenTheConverterFails) {
    installConverter();
    writeBytes(gameFile("constants.ini"), kCutBini);
    const auto from = mark();
    const auto failure = unpack();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->file, gameFile("constants.ini"));
    EXPECT_FALSE(failure->converterMissing);
    const auto entries = linesSince(from);
    EXPECT_TRUE(contains(entries, "[Info   ] IS_COMPRESSED_INI (" + failure->file + ") = True"));
    EXPECT_TRUE(contains(entries, "[Info   ] Entpacke Datei [" + failure->file + "]  ErrC= 1"));
    EXPECT_TRUE(contains(entries, "[Error  ] Entpacken fehlgeschlagen [" + failure->file +
                                      "] - BINI endete mit Fehlercode 1"));
    EXPECT_EQ(entries.back(), "[End    ] Entpacke die Ini Dateien - Elapsed time: 00:00:00");
    EXPECT_EQ(gameText("constants.ini"), kCutBini);
    EXPECT_FALSE(leftOver("constants.ini"));
}

TEST_F(Unpacking, WithoutTheConverterACompressedFileIsRefusedAndNothingElseIsTested) {
    auto from = mark();
    EXPECT_FALSE(unpack());
    EXPECT_EQ(linesSince(from),
              Lines{"[Error  ] BINI [" + converterFolder() + "] existiert nicht"});

    compress("Equipment/engine_equip.ini");
    const std::string compressed = gameText("Equipment/engine_equip.ini");
    from = mark();
    const auto failure = unpack();
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->converterMissing);
    EXPECT_EQ(failure->file, gameFile("Equipment/engine_equip.ini"));
    EXPECT_EQ(linesSince(from).size(), 2u);
    EXPECT_EQ(gameText("Equipment/engine_equip.ini"), compressed);
}

TEST_F(Unpacking, AFailingConverterLeavesTheFileAsItWas) {
    compress("Ships/shiparch.ini");
    const std::string compressed = gameText("Ships/shiparch.ini");
    const std::string path = gameFile("Ships/shiparch.ini");
    struct Case {
        const char* script;
        const char* reason;
    };
    const Case cases[] = {
        {"printf '[Ship]\\r\\nnickname = x\\r\\n' > \"$1.txt\"; exit 1",
         "BINI endete mit Fehlercode 1"},
        {"printf '[Ship]\\r\\nnick' | head -c 3 > \"$1.txt\"", // cut inside the first header
         "die Textdatei von BINI enthält keine vollständige Sektion"},
        {"exit 0", "BINI hat keine Textdatei geschrieben"},
    };
    for (const Case& c : cases) {
        installScriptConverter(c.script);
        // An output of an earlier run must not pass for this run's work.
        writeBytes(path + ".txt", "[Ship]\r\nnickname = stale\r\n");
        const auto from = mark();
        const auto failure = unpack();
        ASSERT_TRUE(failure) << c.script;
        EXPECT_EQ(failure->file, path);
        EXPECT_TRUE(contains(linesSince(from),
                             "[Error  ] Entpacken fehlgeschlagen [" + path + "] - " + c.reason))
            << c.script;
        EXPECT_EQ(gameText("Ships/shiparch.ini"), compressed) << c.script;
        EXPECT_FALSE(leftOver("Ships/shiparch.ini")) << c.script;
    }
}

TEST_F(Unpacking, AConverterThatCannotStartIsJournaledWithMinusOne) {
    writeBytes(tmp.path() / "converter" / "BINI", "not a program"); // found whatever its case
    writeBytes(gameFile("constants.ini"), kCutBini);
    const auto from = mark();
    ASSERT_TRUE(unpack());
    EXPECT_TRUE(contains(linesSince(from),
                         "[Info   ] Entpacke Datei [" + gameFile("constants.ini") + "]  ErrC= -1"));
}

// A bini.exe is started through wine, with the file's path as a Windows path.
TEST_F(Unpacking, AWindowsConverterRunsThroughWine) {
    writeBytes(tmp.path() / "converter" / "bini.exe", "MZ");
    const auto wineFolder = tmp.path() / "wine-bin";
    writeBytes(wineFolder / "wine", "#!/bin/sh\n"
                                    "printf '%s|%s\\n' \"$1\" \"$2\" > \"" +
                                        (tmp.path() / "wine-args").string() +
                                        "\"\n"
                                        "file=$(printf '%s' \"$2\" | sed 's/^Z://; s#\\\\#/#g')\n"
                                        "printf '[CommConsts]\\r\\n' > \"$file.txt\"\n");
    std::filesystem::permissions(wineFolder / "wine", std::filesystem::perms::owner_all);
    writeBytes(gameFile("constants.ini"), kCutBini);
    std::optional<Converter> converter;
    std::optional<UnpackFailure> failure;
    {
        const char* path = std::getenv("PATH");
        const ScopedVariable wineFirst("PATH", wineFolder.string() + ":" + (path ? path : ""));
        converter = findConverter(converterFolder());
        failure = unpack();
    }

    ASSERT_TRUE(converter);
    EXPECT_TRUE(converter->throughWine);
    EXPECT_FALSE(failure);
    std::string windowsPath = "Z:" + gameFile("constants.ini");
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    EXPECT_EQ(readBytes(tmp.path() / "wine-args"),
              converterFolder() + "bini.exe|" + windowsPath + "\n");
    EXPECT_EQ(gameText("constants.ini"), "[CommConsts]\r\n");
}

// A converter killed while writing leaves <file>.txt.XXXXXX (mkstemp); the open removes
// exactly those, with or without the converter, and journals each.
TEST_F(Unpacking, TheConvertersLeftoverTemporariesAreRemovedAndNothingElse) {
    const std::string goods = files.files[kGoods];
    struct Case {
        std::string path;
        bool removed;
    };
    const std::vector<Case> cases = {
        {goods + ".txt.a1B2c3", true},
        {files.files[kShipArch] + ".txt.Zz9yY8", true},
        {goods + ".txt.backup.old", false},
        {goods + ".txt.a1B2", false},
        {goods + ".txtXa1B2c3", false},
        {std::filesystem::path(goods).replace_filename("other.ini").string() + ".txt.a1B2c3",
         false},
    };
    for (const bool withConverter : {false, true}) {
        SCOPED_TRACE(withConverter);
        if (withConverter) {
            installConverter();
        }
        for (const Case& each : cases) {
            writeBytes(each.path, "half a text form");
        }
        const auto from = mark();
        EXPECT_FALSE(unpack());
        const auto entries = linesSince(from);
        for (const Case& each : cases) {
            EXPECT_EQ(std::filesystem::exists(each.path), !each.removed) << each.path;
            EXPECT_EQ(contains(entries, toCp1252("[Warning] Temporäre Datei des Konverters "
                                                 "entfernt [" +
                                                 each.path + "]")),
                      each.removed)
                << each.path;
        }
    }
}

} // namespace
} // namespace skarvel::test
