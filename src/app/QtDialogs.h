#pragma once

#include "ports/Dialogs.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace skarvel {

// The dialogs as real message boxes and file dialogs, shown modally over the owner window.
// Texts are UTF-8; the pair line feed + carriage return is one line break.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* owner);

    Answer message(MessageKind kind, std::string_view text) override;
    Answer askInformation(std::string_view text) override;
    Answer askYesNoCancel(std::string_view text) override;
    std::size_t choose(MessageKind kind, std::string_view text,
                       const std::vector<std::string>& buttons) override;
    Answer warningOk(std::string_view text) override;
    ReviewAnswer review(std::string_view caption, std::string_view text,
                        bool offerDontShowAgain) override;

    std::string pickFolder(std::string_view instruction, std::string_view startFolder) override;
    std::optional<std::string> openFile(const FileDialogOptions& options) override;
    std::optional<std::string> saveFile(const FileDialogOptions& options) override;

    // The program is being ended from outside: from now on no dialog is shown, and a dialog
    // closed by the ending gives no answer. Each request throws CommandEnded, except while
    // the ending closes the data set (quietly), when it gets the declining answer.
    void endCommands() { ended_ = true; }
    void setQuiet(bool quiet) { quiet_ = quiet; }

private:
    // Throws CommandEnded after the end; true when the request is to be declined quietly.
    bool declined() const;

    QPointer<QWidget> owner_;
    bool ended_ = false;
    bool quiet_ = false;
};

// The text as the message box shows it: "\n\r" and "\r\n" become one line break.
QString messageText(std::string_view text);

// "bini|bini;bini.exe" (name|patterns, pairs separated by "|") as Qt name filters:
// "bini (bini bini.exe)".
QStringList nameFilters(std::string_view filter);

} // namespace skarvel
