#pragma once

#include "DataSetGenerator.h"
#include "journal/Journal.h"
#include "platform/Files.h"
#include "ports/Controls.h"
#include "ports/Dialogs.h"
#include "ships/Editor.h"
#include "support/MemoryForm.h"

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace skarvel::bench {

// Every question is answered Yes, every message acknowledged.
class YesDialogs : public Dialogs {
public:
    Answer message(MessageKind, std::string_view) override { return Answer::Yes; }
    Answer askInformation(std::string_view) override { return Answer::Yes; }
    Answer askYesNoCancel(std::string_view) override { return Answer::Yes; }
    Answer askWithCancel(MessageKind, std::string_view) override { return Answer::Yes; }
    std::size_t choose(MessageKind, std::string_view, const std::vector<std::string>&) override {
        return 0;
    }
    ReviewAnswer review(std::string_view, std::string_view text, bool) override {
        ++reviews;
        reviewed += text.size();
        return {true, false};
    }
    std::string pickFolder(std::string_view, std::string_view start) override {
        return std::string(start);
    }
    std::optional<std::string> openFile(const FileDialogOptions&) override { return {}; }
    std::optional<std::string> saveFile(const FileDialogOptions&) override { return {}; }

    std::size_t reviews = 0;
    std::size_t reviewed = 0; // characters, so that no review is left unbuilt
};

// The program's folder, where the journal syncs every line, lies in memory when the machine
// has a RAM folder: a synced line costs the same on every data set (BM_JournalLine measures
// it on the data set's disk), and the ratios are about the work on the game's files, which
// stay on disk.
inline std::filesystem::path programFolder(const std::filesystem::path& beside) {
    static int sessions = 0;
    const std::filesystem::path memory = "/dev/shm";
    const std::string name =
        "skarvel-bench-" + std::to_string(::getpid()) + "-" + std::to_string(++sessions);
    return std::filesystem::is_directory(memory) ? memory / name / "program" : beside / "program";
}

// A generated game, a program folder with a resource.ini and the journal, and an editor
// with the data set open.
class Session {
public:
    // withModFiles: the set made a whole mod (freelancer.ini, weapons, loadouts, a universe).
    explicit Session(DataSetSize size, bool withModFiles = false)
        : set_(size), clickedShip_(lastBuyableShip(size)) {
        if (withModFiles) {
            generateModFiles(set_.gameDir(), size);
        }
        program_ = programFolder(set_.gameDir().parent_path());
        std::filesystem::create_directories(program_);
        std::filesystem::create_directories(set_.gameDir().parent_path() / "bini");
        std::string resource = "[Resource]\r\n";
        for (int i = 0; i < 1500; ++i) {
            resource += std::to_string(237000 + i) + " = Ship " + std::to_string(i) + "\r\n";
        }
        resource += "[IdByBase]\r\nPlanet Manhattan = Li01_01_Base\r\n";
        resource += "[BaseById]\r\nLi01_01_Base = Planet Manhattan\r\n";
        writeFileAtomically((program_ / "resource.ini").string(), resource, false);

        journal_ = std::make_unique<TJournal>(program_.string(), "DebugOut");
        form_.setText(controls::edPfad, set_.gameDir().string() + "/");
        form_.setText(controls::edFliniDir, (set_.gameDir().parent_path() / "bini").string() + "/");
        editor_ = std::make_unique<Editor>(*journal_, form_, dialogs_, program_.string() + "/",
                                           [] { return false; });
        editor_->btRelloadClick();
        if (!editor_->dataSet().isOpen()) {
            throw std::runtime_error("the generated data set did not open");
        }
    }
    ~Session() {
        editor_->CloseIniFiles();
        journal_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(program_, ignored);
    }

    Editor& editor() { return *editor_; }
    const std::filesystem::path& gameDir() const { return set_.gameDir(); }
    TJournal& journal() { return *journal_; }
    YesDialogs& dialogs() { return dialogs_; }
    test::MemoryForm& form() { return form_; }
    std::array<std::filesystem::path, 6> files() const { return set_.files(); }

    // The last ship with a hull and a package good: the searches run through nearly every good.
    void clickShip() {
        form_.setSelectedIndex(controls::lbShips, clickedShip_);
        editor_->lbShipsClick();
        form_.repainted.clear(); // the record would grow with every timed click
    }

private:
    GeneratedDataSet set_;
    int clickedShip_;
    std::filesystem::path program_;
    std::unique_ptr<TJournal> journal_;
    test::MemoryForm form_;
    YesDialogs dialogs_;
    std::unique_ptr<Editor> editor_;
};

} // namespace skarvel::bench
