#pragma once

#include "app/QtDialogs.h"
#include "app/QtForm.h"
#include "app/QtPreferences.h"
#include "platform/StoredSwitch.h"

#include <QMainWindow>
#include <memory>
#include <string>

class QAbstractButton;

namespace Ui {
class TformSkarvel;
}

namespace skarvel {

class Editor;
class HintArea;
class KeyFilter;
class Navigation;
class SingleCopy;
class TJournal;

// The main window: its start-up, the read-first gate, the Options page, navigation, hints
// and closing. The handlers are named after their control and event and hand the editing
// work to the Editor.
class TformSkarvel : public QMainWindow {
    Q_OBJECT

public:
    // programFolder: where resource.ini, the converter and the exported copies are.
    // singleCopy: the guard this copy holds; its window is raised when a second copy starts.
    TformSkarvel(TJournal& journal, std::string programFolder, SingleCopy* singleCopy = nullptr);
    ~TformSkarvel() override;

    // A close was confirmed (during the start-up or later): the program ends.
    bool closeConfirmed() const { return closeConfirmed_; }
    // Ended from outside (a signal, the end of the desktop session): no questions, the open
    // data set is closed so that the game's files lose their numbers.
    void closeForTermination();
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
    void cbShowSecurityWarningsClick();
    void cbCheckNewVersionClick();
    void btopenFlDirClick();
    void btOpenFliniDirClick();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    bool FormClose();
    void showVersion();
    void readPreferences();
    void loadSwitch(StoredSwitch& stored, QAbstractButton& box, void (TformSkarvel::*click)());
    void offerUpdate();
    void locateGame();
    void askForBackup();
    void wireHandlers();
    std::string updateSite() const;
    void setStatusText(const QString& text);

    template <class Signal, class Sender, class Handler>
    void onSignal(Sender* sender, Signal signal, Handler handler);

    TJournal& journal_;
    std::string programFolder_;
    SingleCopy* singleCopy_;
    std::unique_ptr<Ui::TformSkarvel> ui_;
    QtPreferences preferences_;
    QtDialogs dialogs_;
    QtForm form_;
    StoredSwitch securityDialogs_; // FSecurityDlgs
    StoredSwitch checkNewVersion_; // FCheckNewVersion
    std::unique_ptr<Navigation> navigation_;
    std::unique_ptr<Editor> editor_;
    KeyFilter* keyFilter_ = nullptr;
    HintArea* hintArea_ = nullptr;
    bool FDoExit = false;
    bool closeConfirmed_ = false;
    bool shownOnce_ = false;
};

} // namespace skarvel
