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
    Answer warningOk(std::string_view text) override;

    std::string pickFolder(std::string_view instruction, std::string_view startFolder) override;
    std::optional<std::string> openFile(const FileDialogOptions& options) override;
    std::optional<std::string> saveFile(const FileDialogOptions& options) override;

private:
    QPointer<QWidget> owner_;
};

// The text as the message box shows it: "\n\r" and "\r\n" become one line break.
QString messageText(std::string_view text);

// "bini|bini;bini.exe" (name|patterns, pairs separated by "|") as Qt name filters:
// "bini (bini bini.exe)".
QStringList nameFilters(std::string_view filter);

} // namespace skarvel
