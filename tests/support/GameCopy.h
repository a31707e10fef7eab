#pragma once

#include "gamedata/FileCheck.h"
#include "journal/Encoding.h"
#include "journal/Journal.h"
#include "platform/CaseInsensitivePath.h"
#include "support/JournalLines.h"
#include "support/ManualClock.h"
#include "support/MemoryForm.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace skarvel::test {

// A test game of tests/data (its "game" and "program" folders) copied into a fresh
// temporary folder with an empty converter folder, a journal in the program folder and a
// form whose folder fields point at them.
class GameCopy : public ::testing::Test {
protected:
    GameCopy(const std::string& fixture, const std::string& converter) : converter_(converter) {
        copyFixture(fixture + "/game", tmp.path() / "game");
        copyFixture(fixture + "/program", tmp.path() / "program");
        std::filesystem::create_directories(tmp.path() / converter_);
        journal = std::make_unique<TJournal>(programFolder(), "DebugOut", JournalIdentity{}, clock);
        form.setText("edPfad", gameFolder());
        form.setText("edFliniDir", converterFolder());
    }

    std::string gameFolder() const { return (tmp.path() / "game").string() + "/"; }
    std::string converterFolder() const { return (tmp.path() / converter_).string() + "/"; }
    std::string programFolder() const { return (tmp.path() / "program").string() + "/"; }

    // A data file by its name below the data folder, found as the game would find it.
    std::string gameFile(const std::string& relative) const {
        return resolveCaseInsensitive(gameFolder() + "data/" + relative);
    }
    std::string gameText(const std::string& relative) const {
        return readBytes(gameFile(relative));
    }

    Lines lines() const { return journalLines(journal->fileName()); }
    std::size_t mark() const { return lines().size(); }
    Lines linesSince(std::size_t from) const { return linesFrom(lines(), from); }
    // Takes the line in UTF-8, as the program's source writes it.
    static bool contains(const Lines& lines, const std::string& utf8) {
        return test::contains(lines, toCp1252(utf8));
    }

    TempDir tmp;
    ManualClock clock;
    std::unique_ptr<TJournal> journal;
    // The folders as the form shows them, as the editor hands them to the data set.
    GameFolders folders() const { return {form.text("edPfad"), form.text("edFliniDir")}; }

    MemoryForm form;
    ScriptedDialogs dialogs;

private:
    std::string converter_;
};

} // namespace skarvel::test
