#pragma once

#include "journal/Encoding.h"
#include "journal/Journal.h"
#include "platform/CaseInsensitivePath.h"
#include "ships/Editor.h"
#include "support/ManualClock.h"
#include "support/MemoryForm.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace skarvel::test {

// A game folder in the game's shape (tests/data/game-ships) and the editor's own folder,
// both in a fresh temporary folder, with an editor working on them.
class EditorSession : public ::testing::Test {
protected:
    explicit EditorSession(const std::string& fixture = "game-ships") {
        copyFixture(fixture + "/game", tmp.path() / "game");
        copyFixture(fixture + "/program", tmp.path() / "program");
        std::filesystem::create_directories(tmp.path() / "bini");
        journal = std::make_unique<TJournal>(programFolder(), "DebugOut", JournalIdentity{}, clock);
        form.setText("edPfad", (tmp.path() / "game").string() + "/");
        form.setText("edFliniDir", (tmp.path() / "bini").string() + "/");
        // As the window starts.
        form.setEnabled("btSave", false);
        form.setItems("cbShieldTyp", {"original", "fighter", "elite", "freighter"});
        editor = std::make_unique<Editor>(*journal, form, dialogs, programFolder(),
                                          [this] { return securityDialogs; });
    }

    std::string programFolder() const { return (tmp.path() / "program").string() + "/"; }

    // A data file of the game by its name below the data folder, found as the game would.
    std::filesystem::path gameFile(const std::string& relative) const {
        return resolveCaseInsensitive((tmp.path() / "game" / "data" / relative).string());
    }
    std::string gameText(const std::string& relative) const {
        return readBytes(gameFile(relative));
    }

    void click(int index) {
        form.setSelectedIndex("lbShips", index);
        editor->lbShipsClick();
    }

    std::vector<std::string> lines() const { return journalLines(journal->fileName()); }
    std::size_t mark() const { return lines().size(); }
    std::vector<std::string> linesSince(std::size_t from) const {
        const auto all = lines();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
    }
    // Expected journal lines are written in UTF-8 here, as in the program's source.
    static std::vector<std::string> journalText(const std::vector<std::string>& utf8) {
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
    bool securityDialogs = false;
    std::unique_ptr<Editor> editor;
};

} // namespace skarvel::test
