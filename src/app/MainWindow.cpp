#include "app/MainWindow.h"

#include "Version.h"
#include "app/BackupPage.h"
#include "app/CheckPage.h"
#include "app/CommodityPage.h"
#include "app/ConstantsPage.h"
#include "app/Contact.h"
#include "app/DataFileWatcher.h"
#include "app/EditHistory.h"
#include "app/EquipmentPage.h"
#include "app/ErrorHandler.h"
#include "app/FleetPage.h"
#include "app/HelpWindow.h"
#include "app/HintArea.h"
#include "app/InfoWindow.h"
#include "app/KeyFilter.h"
#include "app/MainWindowLayout.h"
#include "app/Navigation.h"
#include "app/ShipList.h"
#include "app/SingleCopy.h"
#include "app/SystemInformation.h"
#include "app/UpdateDialog.h"
#include "app/WindowActions.h"
#include "commands/OptionsCommands.h"
#include "commands/Startup.h"
#include "journal/Journal.h"
#include "journal/VersionInfo.h"
#include "platform/OwnFolders.h"
#include "platform/SystemFacts.h"
#include "ships/Editor.h"
#include "ships/ShipFilter.h"
#include "ui_MainWindow.h"
#include "update/UpdateOutcome.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>

namespace skarvel {

template <class Signal, class Sender, class Handler>
void TformSkarvel::onSignal(Sender* sender, Signal signal, Handler handler) {
    connect(sender, signal, this, [this, handler] { runHandler(journal_, handler); });
}

TformSkarvel::TformSkarvel(TJournal& journal, std::string programFolder, SingleCopy* singleCopy)
    : journal_(journal), programFolder_(std::move(programFolder)), singleCopy_(singleCopy),
      ui_(std::make_unique<Ui::TformSkarvel>()), dialogs_(this),
      form_(*this, [this](const QString& caption) { ShowPage(caption); }),
      options_(std::make_unique<OptionsCommands>(journal_, form_, dialogs_, preferences_,
                                                 programFolder_)),
      startup_(std::make_unique<Startup>(journal_, form_, dialogs_, preferences_, *options_,
                                         programFolder_)) {
    ui_->setupUi(this);
    setupMainWindowLayout(*ui_, *this, ownFolders(programFolder_));
    navigation_ = std::make_unique<Navigation>(*ui_->tvMenu, *ui_->pcMain);
    editor_ = std::make_unique<Editor>(journal_, form_, dialogs_, programFolder_,
                                       [this] { return options_->securityDialogs(); });
    keyFilter_ = new KeyFilter(editor_->engineValues(), journal_, this);
    keyFilter_->wireAll(*this);
    hintArea_ = new HintArea(*ui_->memoHint, this);
    hintArea_->wireAll(*this);
    wireHandlers();
    wireHistoryAndMenus();
    new ConstantsPage(*ui_, *editor_, journal_, this);
    new BackupPage(*ui_, editor_->backups(), journal_, this);
    (new CommodityPage(*ui_, *editor_, dialogs_, journal_, preferences_, this))
        ->setHistory(*history_);
    auto* check = new CheckPage(*ui_, *editor_, form_, dialogs_, journal_, this);
    (new FleetPage(*ui_, *editor_, form_, dialogs_, journal_, this))->setHistory(*history_);
    auto* equipment = new EquipmentPage(*ui_, *editor_, form_, dialogs_, journal_, this);
    equipment->setHistory(*history_);
    check->setWhereUsed(
        [equipment](const QString& nickname) { equipment->showWhereUsed(nickname); });
    wireWhereUsed(*equipment);
    if (const auto days = preferences_.read("BackupDays"); days && days->isInteger) {
        editor_->dataSet().backupSettings().days = static_cast<int>(days->value);
    }
    if (preferences_.read("BackupsKept")) {
        journal_.Write("BackupsKept is no longer read: backups are kept by age (BackupDays)",
                       JournalEntryKind::Info);
    }
    FormCreate();
}

TformSkarvel::~TformSkarvel() {
    if (installedErrorHandler() == &journal_) {
        installErrorHandler(nullptr);
    }
}

void TformSkarvel::wireWhereUsed(EquipmentPage& equipment) {
    // "Where used…" of the Ship page's engine and power plant.
    for (QLabel* label : {ui_->labEngine, ui_->labPower}) {
        auto* action = new QAction(QStringLiteral("Where used…"), label);
        label->addAction(action);
        label->setContextMenuPolicy(Qt::ActionsContextMenu);
        const bool engine = label == ui_->labEngine;
        connect(action, &QAction::triggered, this, [this, &equipment, engine] {
            runHandler(journal_, [this, &equipment, engine] {
                const LoadedShip& ship = editor_->loadedShip();
                const std::string& nickname = engine ? ship.engineName : ship.powerName;
                if (!nickname.empty()) {
                    equipment.showWhereUsed(QString::fromLatin1(
                        nickname.data(), static_cast<qsizetype>(nickname.size())));
                }
            });
        });
    }
}

void TformSkarvel::wireHandlers() {
    onSignal(ui_->btBeenden, &QAbstractButton::clicked, [this] { btBeendenClick(); });
    onSignal(ui_->btRelload, &QAbstractButton::clicked, [this] { editor_->btRelloadClick(); });
    onSignal(ui_->btSave, &QAbstractButton::clicked, [this] { editor_->btSaveClick(); });
    onSignal(ui_->btCloseSet, &QAbstractButton::clicked, [this] { editor_->btCloseSetClick(); });
    onSignal(ui_->btOutsideReload, &QAbstractButton::clicked,
             [this] { editor_->btOutsideReloadClick(); });
    onSignal(ui_->btOutsideKeep, &QAbstractButton::clicked,
             [this] { editor_->btOutsideKeepClick(); });
    new DataFileWatcher(*editor_, journal_, this);
    onSignal(ui_->btInfo, &QAbstractButton::clicked, [this] { btInfoClick(); });
    onSignal(ui_->btRead, &QAbstractButton::clicked, [this] { btReadClick(); });
    onSignal(ui_->tvMenu, &QTreeWidget::currentItemChanged, [this] { tvMenuChange(); });

    // Every change of the selected ship by the user loads it; the filter hides ships.
    new ShipList(
        *ui_->lbShips, *ui_->edShipFilter,
        [this] { runHandler(journal_, [this] { editor_->lbShipsClick(); }); },
        [this] { return shipNicknames(editor_->dataSet()); }, this);
    // Another base chosen by the user; the program's own selections are silent, and picking
    // the base already shown changes nothing.
    onSignal(ui_->cbStartingBase, &QComboBox::currentIndexChanged,
             [this] { editor_->cbStartingBaseChange(); });

    Hardpoints& hardpoints = editor_->hardpoints();
    onSignal(ui_->cbWeaponHP, &QComboBox::activated,
             [&hardpoints] { hardpoints.cbWeaponHPChange(); });
    onSignal(ui_->cbTurretHP, &QComboBox::activated,
             [&hardpoints] { hardpoints.cbTurretHPChange(); });
    onSignal(ui_->cbShieldTyp, &QComboBox::activated,
             [&hardpoints] { hardpoints.cbShieldTypChange(); });
    // Text changes by typing or by a spinner; the program's own changes are silent.
    onSignal(ui_->edWeaponHPLevel, &QLineEdit::textChanged,
             [&hardpoints] { hardpoints.edWeaponHPLevelChange(); });
    onSignal(ui_->edTurretHpLevel, &QLineEdit::textChanged,
             [&hardpoints] { hardpoints.edTurretHpLevelChange(); });
    onSignal(ui_->edShieldHPLevel, &QLineEdit::textChanged,
             [&hardpoints] { hardpoints.edShieldHPLevelChange(); });

    OptionsCommands& options = *options_;
    onSignal(ui_->cbShowSecurityWarnings, &QAbstractButton::clicked,
             [&options] { options.cbShowSecurityWarningsClick(); });
    onSignal(ui_->cbCheckNewVersion, &QAbstractButton::clicked,
             [&options] { options.cbCheckNewVersionClick(); });
    onSignal(ui_->cbKeepFilesPlain, &QAbstractButton::clicked,
             [&options] { options.cbKeepFilesPlainClick(); });
    editor_->dataSet().setKeepFilesPlain([&options] { return options.keepFilesPlain(); });
    onSignal(ui_->cbReviewBeforeSave, &QAbstractButton::clicked,
             [&options] { options.cbReviewBeforeSaveClick(); });
    editor_->setReviewSwitch({[&options] { return options.reviewBeforeSave(); },
                              [&options] { options.setReviewBeforeSave(false); }});
    onSignal(ui_->btopenFlDir, &QAbstractButton::clicked,
             [&options] { options.btopenFlDirClick(); });
    onSignal(ui_->btOpenFliniDir, &QAbstractButton::clicked,
             [&options] { options.btOpenFliniDirClick(); });
}

void TformSkarvel::wireHistoryAndMenus() {
    history_ = new EditHistory(
        *editor_, journal_, *this, *ui_->pcMain,
        [this](int page, bool changed) { markPage(page, changed); }, this);
    new WindowActions(*this, *ui_, history_->stack(),
                      {[this] { runHandler(journal_, [this] { editor_->undoLastSave(); }); },
                       [this] { showHelp(); }});
}

void TformSkarvel::markPage(int page, bool changed) {
    QTreeWidgetItem* item = navigation_->itemAt(page);
    if (item == nullptr) {
        return;
    }
    static const QIcon dot = [] {
        QPixmap pixmap(12, 12);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xd9, 0x82, 0x2b));
        painter.drawEllipse(2, 2, 8, 8);
        return QIcon(pixmap);
    }();
    item->setIcon(0, changed ? dot : QIcon());
}

void TformSkarvel::showHelp() {
    auto* help = new HelpWindow(this, ui_->memoReadFirst->toPlainText());
    help->setAttribute(Qt::WA_DeleteOnClose);
    help->show();
    journal_.Write("Hilfe wurde angezeigt", JournalEntryKind::System);
}

void TformSkarvel::FormCreate() {
    if (singleCopy_) {
        // The copy holds its guard from here on; a second copy that starts now raises us.
        singleCopy_->listen(*this);
    }
    ui_->tvMenu->expandAll();
    installErrorHandler(&journal_);
    try {
        WriteSystemInformation(journal_);
        journal_.Write("FORM_CREATE", JournalEntryKind::Begin);
        journal_.Write("Startup", JournalEntryKind::Info);
        showVersion();

        QTreeWidgetItem* readFirst = ui_->tvMenu->topLevelItem(0);
        if (ui_->tvMenu->currentItem() != readFirst) {
            ui_->tvMenu->setCurrentItem(readFirst);
        } else {
            tvMenuChange();
        }
        ui_->tvMenu->setEnabled(false);
        ui_->btRelload->setEnabled(false);
        ui_->btSave->setEnabled(false);

        FDoExit = startup_->run([this] { runUpdateCheck(); });
        journal_.Write("FORM_CREATE", JournalEntryKind::End);
    } catch (...) {
        // The start-up ends here; the window opens in the state reached so far.
        OnApplicationException(journal_, std::current_exception());
    }
}

void TformSkarvel::showVersion() {
    TVersionInfo info;
    if (!ReadVersionInfo(executablePath(), info)) {
        return; // the design text stays
    }
    setStatusText(
        QString::fromStdString(formatText("  :: FL Skarvel Version %d.%d.%d build %d",
                                          {info.major, info.minor, info.release, info.build}) +
                               statusBarContact()));
}

void TformSkarvel::setStatusText(const QString& text) {
    // The status bar is one simple panel: a label of its own when the design has one.
    if (auto* panel = ui_->StatusBAr->findChild<QLabel*>()) {
        panel->setText(text);
    } else {
        ui_->StatusBAr->showMessage(text);
    }
}

void TformSkarvel::runUpdateCheck() {
    TMainForm update(this, VersionString(executablePath()), journal_, startup_->updateSite(),
                     dialogs_);
    update.exec();
    if (update.outcome() == UpdateOutcome::Downloaded) {
        close(); // asks; a confirmed close ends the program after the start-up
    }
}

bool TformSkarvel::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        runHandler(journal_, [this] { FormActivate(); });
    }
    return QMainWindow::event(event);
}

void TformSkarvel::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        // Not every platform activates a window that has just been shown.
        QTimer::singleShot(0, this, [this] { runHandler(journal_, [this] { FormActivate(); }); });
    }
}

void TformSkarvel::FormActivate() {
    if (FDoExit && !closeConfirmed_) {
        close();
    }
}

void TformSkarvel::closeEvent(QCloseEvent* event) {
    if (closeConfirmed_) {
        event->accept();
        return;
    }
    bool closes = false;
    runHandler(journal_, [&] { closes = FormClose(); });
    // A termination during the question has confirmed the close meanwhile.
    closeConfirmed_ = closeConfirmed_ || closes;
    event->setAccepted(closeConfirmed_);
}

bool TformSkarvel::FormClose() {
    return editor_->FormClose(FDoExit);
}

void TformSkarvel::closeForTermination() {
    if (terminating_) {
        return;
    }
    journal_.Write("Programm wird von außen beendet", JournalEntryKind::System);
    terminating_ = true;
    closeConfirmed_ = true;
    dialogs_.endCommands();
    editor_->dataSet().refuseOpening();
    bool dialogOpen = false;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible()) {
            dialogOpen = true;
            dialog->reject();
        }
    }
    // A dialog's command is still on the stack: it has to end before the set is closed.
    if (!dialogOpen) {
        finishTermination();
    }
}

void TformSkarvel::finishTermination() {
    if (!terminating_ || closedForTermination_) {
        return;
    }
    closedForTermination_ = true;
    dialogs_.setQuiet(true);
    runHandler(journal_, [this] { editor_->CloseIniFiles(); });
}

void TformSkarvel::btBeendenClick() {
    close();
}

void TformSkarvel::btReadClick() {
    startup_->btReadClick();
    if (openWhenRead_ && ui_->btRelload->isEnabled()) {
        editor_->btRelloadClick();
    }
}

void TformSkarvel::btInfoClick() {
    // A fresh About window each time, owned by this window while it is shown.
    auto* info = new TformInfo(this);
    info->exec();
    info->deleteLater();
    journal_.Write("Info Dialog wurde angezeigt", JournalEntryKind::System);
}

void TformSkarvel::tvMenuChange() {
    navigation_->tvMenuChange();
}

void TformSkarvel::ShowPage(const QString& caption) {
    navigation_->ShowPage(caption);
}

} // namespace skarvel
