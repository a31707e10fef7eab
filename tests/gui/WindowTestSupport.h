#pragma once

// Helpers of the main-window tests: a private environment per test and a hand that answers
// the real modal dialogs as they come up.

#include "gui/GuiTestEnvironment.h"
#include "platform/OwnFolders.h"
#include "platform/Process.h"
#include "support/ScopedVariable.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace skarvel::test {

inline const std::filesystem::path kSourceRoot =
    std::filesystem::path(SKARVEL_TEST_DATA_DIR).parent_path().parent_path();

// HOME, XDG_CONFIG_HOME (the preferences), WINEPREFIX (the game's registry), TMPDIR and
// XDG_RUNTIME_DIR (the single-copy lock) point into a fresh folder for the life of the
// object, and XDG_CACHE_HOME is unset (the cache folder is HOME's); "program" is the
// program's own folder, where the journal goes.
class ShellEnvironment {
public:
    ShellEnvironment() {
        for (const auto& folder : {home, config, prefix, temp, runtime, program}) {
            std::filesystem::create_directories(folder);
        }
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        const std::pair<const char*, std::optional<std::string>> values[] = {
            {"HOME", home.string()},
            {"XDG_CONFIG_HOME", config.string()},
            {"WINEPREFIX", prefix.string()},
            {"TMPDIR", temp.string()},
            {"XDG_RUNTIME_DIR", runtime.string()},
            {"XDG_CACHE_HOME", std::nullopt}};
        for (const auto& [name, value] : values) {
            variables_.emplace_back(name, value);
        }
    }

    // The game installed and both switches off: the window starts without a question (and a
    // save asks only its own questions, without the look at the changes).
    void installGameAndSilenceStart() {
        installGame();
        silenceStart();
    }
    void silenceStart() {
        storePreference("SecurityDialogs", "0");
        storePreference("CheckNewVersion", "0");
        storePreference("ReviewBeforeSave", "0");
    }

    void storePreference(const std::string& name, const std::string& value) {
        preferences_ += name + "=" + value + "\n";
        writeBytes(config / "Skarvel" / "Skarvel.conf", "[General]\n" + preferences_);
    }
    std::string storedPreferences() const { return readBytes(config / "Skarvel" / "Skarvel.conf"); }

    // The game's key in the prefix's registry and its folder with a DATA folder; returns the
    // game folder as edPfad shows it.
    std::string installGame() {
        writeBytes(prefix / "system.reg",
                   "WINE REGISTRY Version 2\n\n"
                   "[Software\\\\Microsoft\\\\Microsoft Games\\\\Freelancer\\\\1.0] 1\n"
                   "\"AppPath\"=\"C:\\\\Games\\\\Freelancer\"\n");
        std::filesystem::create_directories(prefix / "drive_c/Games/Freelancer/DATA");
        return (prefix / "drive_c/Games/Freelancer").string() + "/";
    }

    // The demo game in the prefix (tools/make-demo-prefix.sh), resource.ini and the converter
    // in the program's folder; returns the script's exit code.
    int installDemoGame() {
        const auto made =
            runProgram((kSourceRoot / "tools" / "make-demo-prefix.sh").string(),
                       {prefix.string(), SKARVEL_BINI_PATH}, std::chrono::seconds(60));
        std::filesystem::copy_file(kSourceRoot / "resources" / "resource.ini",
                                   program / "resource.ini");
        std::filesystem::copy_file(SKARVEL_BINI_PATH, program / "bini");
        return made.exitCode;
    }

    std::filesystem::path journalFile() const {
        for (const auto& entry : std::filesystem::directory_iterator(program)) {
            if (entry.path().extension() == ".mjf") {
                return entry.path();
            }
        }
        return {};
    }

    // The journal's lines without time stamps and without the elapsed times of End lines.
    std::vector<std::string> journal() const {
        static const std::regex elapsed("( - )?Elapsed time: \\d\\d:\\d\\d:\\d\\d$");
        std::vector<std::string> lines;
        for (const std::string& line : journalLines(journalFile())) {
            lines.push_back(std::regex_replace(line, elapsed, ""));
        }
        return lines;
    }
    std::vector<std::string> journalSince(std::size_t from) const {
        return linesFrom(journal(), from);
    }

    TempDir root;
    std::filesystem::path home = root.path() / "home";
    std::filesystem::path config = root.path() / "config";
    std::filesystem::path prefix = root.path() / "prefix";
    std::filesystem::path temp = root.path() / "tmp";
    std::filesystem::path runtime = root.path() / "runtime";
    std::filesystem::path program = root.path() / "program";

private:
    std::deque<ScopedVariable> variables_;
    std::string preferences_;
};

// Texts of the window's message boxes that several tests wait for.
inline const QString kUpdateQuestion =
    "Shall the application do a checkup whether there is a newer "
    "version of this application ?";
// The start's backup prompt names the backup folder, which the test program sets before the
// first test.
inline QString backupPrompt() {
    return QString::fromStdString(
        "          SKARVEL BACKS UP YOUR FREELANCER DATA\n\nBefore it changes the game's data "
        "files, Skarvel copies the six files it edits into\n" +
        userBackupsFolder() +
        "\nThe BACKUP page lists these backups and restores any of them.\nA backup of your "
        "whole /data directory of your own is still a good idea.\n\n!! IF YOU SAY YES HERE THE "
        "TOOL SHUTSDOWN and you can make backups manually !! ");
}
inline const QString kOpenInformation =
    "Now - only click on the OPEN BUTTON to read the values from the ini files";
inline const QString kExitQuestion =
    "If you exit the program now, any non saved changes will get lost "
    "!\nDo you realy want to exit now ?";

// The window's child of that name (the generated form class is private to the app).
template <class Control = QWidget> Control& control(QWidget& window, const char* name) {
    auto* found = window.findChild<Control*>(QString::fromLatin1(name));
    if (!found) {
        throw std::runtime_error(std::string("no control ") + name);
    }
    return *found;
}

// Processes events until done() holds or the time is up.
template <class Condition> bool waitUntil(Condition done, int milliseconds = 10000) {
    QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Answers the modal dialogs in the order they appear: message boxes with a button, file
// dialogs with a path or a cancel, other dialogs by closing them or by pressing one of their
// buttons. A dialog without a scripted answer is recorded as unexpected and dismissed.
class ModalHand : public QObject {
public:
    struct Shown {
        QString kind; // class name of the dialog
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString text;
        QString title;
    };

    ModalHand() {
        connect(&timer_, &QTimer::timeout, this, [this] { answerVisibleDialog(); });
        timer_.start(5);
    }

    ModalHand& press(QMessageBox::StandardButton button) {
        replies_.push_back({button, {}, false, {}, {}});
        return *this;
    }
    ModalHand& choose(const std::string& path) {
        replies_.push_back({QMessageBox::NoButton, QString::fromStdString(path), false, {}, {}});
        return *this;
    }
    ModalHand& dismiss() {
        replies_.push_back({QMessageBox::NoButton, {}, true, {}, {}});
        return *this;
    }
    // Presses the dialog's button of that object name; the dialogs that the press brings up
    // are answered by the following replies.
    ModalHand& click(const std::string& buttonName) {
        replies_.push_back(
            {QMessageBox::NoButton, {}, false, QString::fromStdString(buttonName), {}});
        return *this;
    }

    // Leaves the dialog open and runs the action, as if the world outside the program
    // acted while the dialog is shown.
    ModalHand& meanwhile(std::function<void()> action) {
        replies_.push_back({QMessageBox::NoButton, {}, false, {}, std::move(action)});
        return *this;
    }

    bool allAnswered() const { return replies_.empty(); }

    std::vector<Shown> shown;
    std::vector<QString> unexpected;

private:
    struct Reply {
        QMessageBox::StandardButton button;
        QString path;
        bool dismiss;
        QString buttonName;
        std::function<void()> action;
    };

    void answerVisibleDialog() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == pressing_) {
            return;
        }
        Shown seen{QString::fromLatin1(modal->metaObject()->className()),
                   QMessageBox::NoIcon,
                   {},
                   modal->windowTitle()};
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box) {
            seen.icon = box->icon();
            seen.text = box->text();
        }
        shown.push_back(seen);
        if (replies_.empty()) {
            unexpected.push_back(seen.text.isEmpty() ? seen.kind : seen.text);
            dismissDialog(modal, box);
            return;
        }
        const Reply reply = replies_.front();
        replies_.pop_front();
        if (reply.action) {
            pressing_ = modal; // not answered again while it stays open
            reply.action();
            return;
        }
        auto* files = qobject_cast<QFileDialog*>(modal);
        auto* named = reply.buttonName.isEmpty()
                          ? nullptr
                          : modal->findChild<QAbstractButton*>(reply.buttonName);
        if (named) {
            // Pressed from the event loop, not from this timer's slot: the timer must go on
            // answering the dialogs that come up while the press runs.
            pressing_ = modal;
            QTimer::singleShot(0, named, [this, named] {
                named->click();
                pressing_ = nullptr;
            });
        } else if (box && reply.button != QMessageBox::NoButton && box->button(reply.button)) {
            box->button(reply.button)->click();
        } else if (files && !reply.path.isEmpty()) {
            files->selectFile(reply.path);
            static_cast<QDialog*>(files)->accept();
        } else {
            if (!reply.dismiss) {
                unexpected.push_back(QStringLiteral("wrong answer for ") + seen.kind);
            }
            dismissDialog(modal, box);
        }
    }

    static void dismissDialog(QWidget* modal, QMessageBox* box) {
        if (box) {
            for (auto button : {QMessageBox::No, QMessageBox::Ok, QMessageBox::Cancel}) {
                if (box->button(button)) {
                    box->button(button)->click();
                    return;
                }
            }
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    }

    QTimer timer_;
    std::deque<Reply> replies_;
    QPointer<QWidget> pressing_; // a dialog whose button press is still running
};

} // namespace skarvel::test
