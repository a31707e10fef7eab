#pragma once

#include <QObject>
#include <QString>
#include <string>

namespace Ui {
class TformSkarvel;
}

namespace skarvel {

class BackupCommands;

// A folder's path as the desktop is to open it.
QString folderName(const std::string& folder);
class TJournal;

// The Backup page: the game's backups, newest first, each with its files compared with the
// game's and, for the selected one, their line differences; the buttons hand the selected backup to
// the commands and show the list anew.
class BackupPage : public QObject {
public:
    BackupPage(Ui::TformSkarvel& ui, BackupCommands& commands, TJournal& journal,
               QObject* parent = nullptr);

    void refresh();
    // The backup of the selected row (or of the selected file's row); empty when none.
    std::string selectedBackup() const;

private:
    template <class Command> void onClick(QObject* button, Command command);
    void openFolder();
    // The selected backup's files against the game's, as line differences.
    void showDifferences();

    Ui::TformSkarvel& ui_;
    BackupCommands& commands_;
    TJournal& journal_;
};

} // namespace skarvel
