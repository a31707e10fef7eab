#pragma once

#include "gamedata/TextLines.h"
#include "journal/Encoding.h"
#include "journal/Journal.h"
#include "platform/CaseInsensitivePath.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "support/ManualClock.h"
#include "support/MemoryForm.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace skarvel::test {

// The test game (tests/data/game-mixed: upper-case folders, CRLF and LF files) and the
// editor's own folder in a fresh temporary folder, an empty converter folder, a journal and
// a form whose folder fields point at them.
class GameFolder : public ::testing::Test {
protected:
    GameFolder() {
        copyFixture("game-mixed/game", tmp.path() / "game");
        copyFixture("game-mixed/program", tmp.path() / "program");
        std::filesystem::create_directories(tmp.path() / "converter");
        journal = std::make_unique<TJournal>(programFolder(), "DebugOut", JournalIdentity{}, clock);
        form.setText("edPfad", gameFolder());
        form.setText("edFliniDir", converterFolder());
    }
    ~GameFolder() override { setClearReadOnlyForTesting({}); }

    std::string gameFolder() const { return (tmp.path() / "game").string() + "/"; }
    std::string converterFolder() const { return (tmp.path() / "converter").string() + "/"; }
    std::string programFolder() const { return (tmp.path() / "program").string() + "/"; }

    // A data file by its name below the data folder, found as the game would find it.
    std::string gameFile(const std::string& relative) const {
        return resolveCaseInsensitive(gameFolder() + "data/" + relative);
    }
    std::string gameText(const std::string& relative) const {
        return readBytes(gameFile(relative));
    }

    // The project's converter, as "bini" in the converter folder.
    void installConverter() const {
        std::filesystem::copy_file(SKARVEL_BINI_PATH, tmp.path() / "converter" / "bini",
                                   std::filesystem::copy_options::overwrite_existing);
    }
    // A stand-in converter: a shell script that gets the file's path as $1.
    void installScriptConverter(const std::string& body) const {
        const auto path = tmp.path() / "converter" / "bini";
        writeBytes(path, "#!/bin/sh\n" + body + "\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all |
                                               std::filesystem::perms::group_read |
                                               std::filesystem::perms::group_exec);
    }
    // The file in the compressed form the game ships, made by the converter.
    void compress(const std::string& relative) const {
        const std::string path = gameFile(relative);
        const std::string text = path + ".source";
        std::filesystem::rename(path, text);
        const auto run =
            runProgram(SKARVEL_BINI_PATH, {"-t", text, path}, std::chrono::seconds(20));
        ASSERT_EQ(run.exitCode, 0) << relative;
        std::filesystem::remove(text);
        ASSERT_NE(readBytes(path).find('\0'), std::string::npos) << relative;
    }

    std::vector<std::string> lines() const { return journalLines(journal->fileName()); }
    std::size_t mark() const { return lines().size(); }
    std::vector<std::string> linesSince(std::size_t from) const {
        const auto all = lines();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
    }
    // Expected lines are written in UTF-8 here, as in the program's source.
    static std::vector<std::string> cp1252(const std::vector<std::string>& utf8) {
        std::vector<std::string> result;
        for (const auto& line : utf8) {
            result.push_back(toCp1252(line));
        }
        return result;
    }
    static bool contains(const std::vector<std::string>& lines, const std::string& utf8) {
        return std::find(lines.begin(), lines.end(), toCp1252(utf8)) != lines.end();
    }

    TempDir tmp;
    ManualClock clock;
    std::unique_ptr<TJournal> journal;
    MemoryForm form;
    ScriptedDialogs dialogs;
};

} // namespace skarvel::test
