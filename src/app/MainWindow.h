#pragma once

#include "app/QtDialogs.h"
#include "app/QtForm.h"
#include "app/QtPreferences.h"

#include <QMainWindow>
#include <memory>
#include <string>

class QAbstractButton;

namespace Ui {
class TformSkarvel;
}

namespace skarvel {

class EquipmentPage;

class EditHistory;

class Editor;
class HintArea;
class KeyFilter;
class Navigation;
class OptionsCommands;
class Startup;
class SingleCopy;
class TJournal;

// The main window: the read-first gate, navigation, hints and closing. The handlers are
// named after their control and event and hand the work to the core: the start-up to
// Startup, the Options page to OptionsCommands, the editing to the Editor.
class TformSkarvel : public QMainWindow {
    Q_OBJECT

public:
    // programFolder: where resource.ini, the converter and the exported copies are.
    // singleCopy: the guard this copy holds; its window is raised when a second copy starts.
    TformSkarvel(TJournal& journal, std::string programFolder, SingleCopy* singleCopy = nullptr);
    ~TformSkarvel() override;

    // A close was confirmed (during the start-up or later): the program ends.
    bool closeConfirmed() const { return closeConfirmed_; }
    // Ended from outside (a signal, the end of the desktop session): no questions, every
    // dialog is closed, the command it belonged to ends without writing more, nothing opens
    // the data set again, and the open set is closed so that the game's files lose their
    // numbers. With a dialog open, the close waits for finishTermination.
    void closeForTermination();
    // READ & UNDERSTOOD opens the data set too (the demo game).
    void openWhenRead() { openWhenRead_ = true; }
    // After the event loop has ended: the close that a termination left for later.
    void finishTermination();
    bool doExit() const { return FDoExit; }

    Ui::TformSkarvel& ui() { return *ui_; }
    Editor& editor() { return *editor_; }
    Form& form() { return form_; }

    void FormActivate();
    void btBeendenClick();
    void btReadClick();
    void btInfoClick();
    void tvMenuChange();
    void ShowPage(const QString& caption);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    bool FormClose();
    void showVersion();
    // The update dialog, which may end the program when it fetched a new version.
    void runUpdateCheck();
    void wireHandlers();
    void wireWhereUsed(EquipmentPage& equipment);
    // The undo history, the menus and their shortcuts.
    void wireHistoryAndMenus();
    // The dot on a page's tree entry while the page holds changes.
    void markPage(int page, bool changed);
    void showHelp();
    void setStatusText(const QString& text);

    template <class Signal, class Sender, class Handler>
    void onSignal(Sender* sender, Signal signal, Handler handler);

    TJournal& journal_;
    std::string programFolder_;
    SingleCopy* singleCopy_;
    bool openWhenRead_ = false;
    std::unique_ptr<Ui::TformSkarvel> ui_;
    QtPreferences preferences_;
    QtDialogs dialogs_;
    QtForm form_;
    std::unique_ptr<OptionsCommands> options_;
    std::unique_ptr<Startup> startup_;
    std::unique_ptr<Navigation> navigation_;
    std::unique_ptr<Editor> editor_;
    EditHistory* history_ = nullptr; // the window's one undo history
    KeyFilter* keyFilter_ = nullptr;
    HintArea* hintArea_ = nullptr;
    bool FDoExit = false;
    bool closeConfirmed_ = false;
    bool terminating_ = false;
    bool closedForTermination_ = false;
    bool shownOnce_ = false;
};

} // namespace skarvel
