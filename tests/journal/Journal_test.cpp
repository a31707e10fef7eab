#include "journal/Journal.h"
#include "support/ManualClock.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>

namespace skarvel {
namespace {

namespace fs = std::filesystem;
using test::journalLines;
using test::ManualClock;
using test::readBytes;
using test::TempDir;
using Lines = std::vector<std::string>;

const JournalIdentity Identity{"/opt/skarvel/skarvel", "0.6.0.1", "host", "user"};
const std::string Header =
    "[Start  ] Process \"/opt/skarvel/skarvel\" version \"0.6.0.1\" running on \"host\\user\"";

class JournalTest : public ::testing::Test {
protected:
    TJournal makeJournal(std::string_view name = "DebugOut") {
        return TJournal(dir.folder(), name, Identity, clock);
    }
    fs::path dayFile() const { return dir.path() / "DebugOut_2004-05-01.mjf"; }
    // Lines after the header.
    Lines entries() const {
        Lines lines = journalLines(dayFile());
        EXPECT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), Header);
        lines.erase(lines.begin());
        return lines;
    }

    TempDir dir;
    ManualClock clock;
};

TEST_F(JournalTest, WritesTheDayFileWithHeaderTimeStampsAndCrLf) {
    {
        TJournal journal = makeJournal();
        EXPECT_EQ(journal.fileName(), dayFile().string());
        clock.now.tm_sec = 59;
        journal.Write("FORM_CREATE", JournalEntryKind::Begin);
    }
    EXPECT_EQ(readBytes(dayFile()), "[2004-05-01 14:03:12]" + Header +
                                        "\r\n"
                                        "[2004-05-01 14:03:59][Begin  ] FORM_CREATE\r\n");
}

TEST_F(JournalTest, HeaderShowsAnEmptyVersionInItsQuotes) {
    TJournal journal(dir.folder(), "DebugOut", JournalIdentity{"/x/skarvel", "", "pc", "me"},
                     clock);
    EXPECT_EQ(journalLines(dayFile()),
              Lines{"[Start  ] Process \"/x/skarvel\" version \"\" running on \"pc\\me\""});
}

TEST_F(JournalTest, FileNameTakesTheBaseNameAndTheStartDay) {
    EXPECT_EQ(TJournal::baseName("C:\\x\\Debug.Out "), "Debug");
    EXPECT_EQ(TJournal::baseName("/opt/skarvel/DebugOut.mjf"), "DebugOut");
    EXPECT_EQ(TJournal::baseName(" DebugOut "), "DebugOut");
    EXPECT_EQ(TJournal::baseName(""), "");

    clock.now.tm_mon = 11;
    clock.now.tm_mday = 9;
    {
        TJournal journal = makeJournal("C:\\x\\Debug.Out ");
        EXPECT_EQ(journal.fileName(), dir.folder() + "Debug_2004-12-09.mjf");
        // Past midnight the run stays in the file of its start day.
        clock.now.tm_mday = 10;
        journal.Write("later", JournalEntryKind::Info);
    }
    EXPECT_EQ(journalLines(dir.path() / "Debug_2004-12-09.mjf").back(), "[Info   ] later");

    TJournal unnamed = makeJournal("");
    EXPECT_EQ(unnamed.fileName(), dir.folder() + "2004-12-10.mjf");
}

TEST_F(JournalTest, LineBreaksBecomeBlanksAndTextIsWindows1252) {
    {
        TJournal journal = makeJournal();
        journal.Write("a\r\nb\n\rc\nd", JournalEntryKind::Info);
        journal.Write("x\ry", JournalEntryKind::Warning);
        journal.Write("Überprüfe Datei", JournalEntryKind::Action);
        journal.WriteFormatted("Größe %s\n", {"neu"}, JournalEntryKind::Data);
    }
    EXPECT_EQ(entries(), (Lines{"[Info   ] a b c d", "[Warning] x y",
                                "[Action ] \xDC"
                                "berpr\xFC"
                                "fe Datei",
                                "[Data   ] Gr\xF6\xDF"
                                "e neu "}));
    const std::string bytes = readBytes(dayFile());
    EXPECT_EQ(bytes.find("\xC3"), std::string::npos);
}

TEST_F(JournalTest, FormattedEntries) {
    {
        TJournal journal = makeJournal();
        journal.WriteFormatted("makeCorrectPath - %s => %S", {"/games/fl", "/games/fl/"},
                               JournalEntryKind::Data);
        journal.WriteFormatted("%2.2d:%2.2d / %d / %2.2d", {5, 123, -42, -7},
                               JournalEntryKind::Data);
        journal.WriteFormatted("FShow = %s", {boolText(true)}, JournalEntryKind::Data);
    }
    EXPECT_EQ(entries(), (Lines{"[Data   ] makeCorrectPath - /games/fl => /games/fl/",
                                "[Data   ] 05:123 / -42 / -07", "[Data   ] FShow = True"}));
}

TEST_F(JournalTest, EndReportsTheElapsedTimeOfItsBegin) {
    {
        TJournal journal = makeJournal();
        journal.Write("A", JournalEntryKind::Begin);
        clock.ms += 1000;
        journal.Write("B", JournalEntryKind::Begin);
        clock.ms += 61'000;
        journal.Write("X", JournalEntryKind::End); // closes B
        clock.ms += 3'700'000 - 62'000;
        journal.Write("", JournalEntryKind::End); // closes A after 3700 s
        EXPECT_EQ(journal.openTimers(), 0u);
    }
    EXPECT_EQ(entries(),
              (Lines{"[Begin  ] A", "[Begin  ] B", "[End    ] X - Elapsed time: 00:01:01",
                     "[End    ] Elapsed time: 01:01:40"}));
}

TEST(ElapsedTime, RoundsHalvesToTheEvenSecond) {
    EXPECT_EQ(roundMsToSeconds(1500), 2);
    EXPECT_EQ(roundMsToSeconds(2500), 2);
    EXPECT_EQ(roundMsToSeconds(3500), 4);
    EXPECT_EQ(roundMsToSeconds(499), 0);
    EXPECT_EQ(roundMsToSeconds(501), 1);
    EXPECT_EQ(roundMsToSeconds(0), 0);
    EXPECT_EQ(elapsedText(61), "00:01:01");
    EXPECT_EQ(elapsedText(3700), "01:01:40");
    EXPECT_EQ(elapsedText(100 * 3600 + 59), "100:00:59");
}

TEST_F(JournalTest, EndWithoutBeginThrowsAndWritesNothing) {
    {
        TJournal journal = makeJournal();
        EXPECT_THROW(journal.Write("OPEN_INI_FILES", JournalEntryKind::End), std::out_of_range);
        // The journal goes on writing afterwards.
        journal.Write("next", JournalEntryKind::Info);
    }
    EXPECT_EQ(entries(), Lines{"[Info   ] next"});
}

TEST_F(JournalTest, ReleaseDrainsOpenTimersThenWritesTheExitCode) {
    TJournal journal = makeJournal();
    journal.Write("FORM_CREATE", JournalEntryKind::Begin);
    clock.ms += 2'000;
    journal.Write("OPEN_INI_FILES", JournalEntryKind::Begin);
    clock.ms += 1'500;
    journal.Release(3);
    journal.Write("after release", JournalEntryKind::Info);
    EXPECT_NO_THROW(journal.Write("late", JournalEntryKind::End));

    EXPECT_EQ(entries(), (Lines{"[Begin  ] FORM_CREATE", "[Begin  ] OPEN_INI_FILES",
                                "[End    ] Freeing internal timer leak - Elapsed time: 00:00:02",
                                "[End    ] Freeing internal timer leak - Elapsed time: 00:00:04",
                                "[System ] Process terminated with exit code 3"}));
}

TEST_F(JournalTest, SecondCopyOnTheSameDayWritesNothingAndLaterStartEmptiesTheFile) {
    {
        TJournal first = makeJournal();
        first.Write("first run", JournalEntryKind::Info);
        const std::string before = readBytes(dayFile());

        TJournal second = makeJournal();
        EXPECT_EQ(second.fileName(), "");
        second.Write("second run", JournalEntryKind::Info);
        EXPECT_EQ(readBytes(dayFile()), before);

        first.Write("still first", JournalEntryKind::Info);
        EXPECT_EQ(entries(), (Lines{"[Info   ] first run", "[Info   ] still first"}));
    }
    {
        TJournal later = makeJournal();
        EXPECT_EQ(later.fileName(), dayFile().string());
    }
    EXPECT_EQ(journalLines(dayFile()), Lines{Header});
}

TEST_F(JournalTest, UnwritableFolderDropsEntriesSilently) {
    TJournal journal(dir.folder() + "missing/", "DebugOut", Identity, clock);
    EXPECT_EQ(journal.fileName(), "");
    journal.Write("A", JournalEntryKind::Begin);
    journal.Write("A", JournalEntryKind::End);
    journal.Release(0);
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
}

// A journal that cannot be written from its start (folder missing, day's file held by
// another copy) or from the middle of the run (a full disk): one report, every later line
// dropped, no exception to the writers, the closing lines still possible.
TEST_F(JournalTest, AFailingJournalReportsOnceAndLetsTheProgramGoOn) {
    struct Case {
        const char* name;
        std::string folder;
        bool heldByAnotherCopy;
        bool diskFullLater;
        std::string problem;
    };
    const std::vector<Case> cases = {
        {"missing folder", dir.folder() + "missing/", false, false, "No such file or directory"},
        {"held by another copy", dir.folder(), true, false,
         "in use by another running copy of Skarvel"},
        {"disk full later", dir.folder(), false, true, "No space left on device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<TJournal> other;
        if (c.heldByAnotherCopy) {
            other.emplace(c.folder, "DebugOut", Identity, clock);
            other->Write("other copy", JournalEntryKind::Info);
        }
        {
            TJournal journal(c.folder, "DebugOut", Identity, clock);
            std::vector<std::string> problems;
            journal.setFailureHandler(
                [&](const std::string& problem) { problems.push_back(problem); });
            journal.Write("first", JournalEntryKind::Info);
            if (c.diskFullLater) {
                EXPECT_TRUE(problems.empty());
                journal.redirectForTesting("/dev/full");
            }
            EXPECT_NO_THROW({
                journal.Write("SAVE_INI_VALUES", JournalEntryKind::Begin);
                journal.Write("saving", JournalEntryKind::Info);
                journal.Write("SAVE_INI_VALUES", JournalEntryKind::End);
                journal.Write("FORM_CLOSE", JournalEntryKind::Begin);
            });
            EXPECT_TRUE(journal.failed());
            EXPECT_EQ(journal.openTimers(), 1u);
            ASSERT_EQ(problems.size(), 1u);
            EXPECT_NE(problems[0].find(dayFile().filename().string()), std::string::npos);
            EXPECT_NE(problems[0].find(c.problem), std::string::npos) << problems[0];
            if (c.diskFullLater) {
                // Later lines are dropped, not tried again when there is room.
                journal.redirectForTesting(dayFile().string());
            }
            EXPECT_NO_THROW(journal.Release(0));
            EXPECT_EQ(problems.size(), 1u);
        }
        if (c.heldByAnotherCopy) {
            EXPECT_EQ(entries(), Lines{"[Info   ] other copy"});
        } else if (c.diskFullLater) {
            EXPECT_EQ(entries(), Lines{"[Info   ] first"});
        }
    }
}

} // namespace
} // namespace skarvel
