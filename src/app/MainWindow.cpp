#include "app/MainWindow.h"

#include "Version.h"
#include "app/BackupPage.h"
#include "app/ConstantsPage.h"
#include "app/ErrorHandler.h"
#include "app/HintArea.h"
#include "app/InfoWindow.h"
#include "app/KeyFilter.h"
#include "app/MainWindowLayout.h"
#include "app/Navigation.h"
#include "app/ShipList.h"
#include "app/SingleCopy.h"
#include "app/SystemInformation.h"
#include "app/UpdateDialog.h"
#include "gamedata/Unpack.h"
#include "journal/Journal.h"
#include "journal/JournaledPath.h"
#include "journal/VersionInfo.h"
#include "platform/CaseInsensitivePath.h"
#include "platform/Files.h"
#include "platform/OwnFolders.h"
#include "platform/SystemFacts.h"
#include "platform/WineRegistry.h"
#include "ports/Controls.h"
#include "ships/Editor.h"
#include "ships/ShipFilter.h"
#include "ui_MainWindow.h"
#include "update/UpdateOutcome.h"
#include "update/UpdateSite.h"

#include <QCloseEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>

namespace skarvel {

namespace {

constexpr char kNotSet[] = "not set - please enter manualy";

constexpr char kNoUpdateSite[] =
    "Keine Update-Seite eingestellt - Suche nach neuen Versionen wird nicht angeboten";
constexpr char kUpdateQuestion[] =
    "Shall the application do a checkup whether there is a newer version of this application ?";
constexpr char kNotInstalled[] = "It has been detected, that Freelancer is not correctly "
                                 "installed.\n\rPlease choose your installation directory "
                                 "manualy under OPTIONS";
// Yes still ends the program, for a backup of the user's own.
std::string backupPrompt() {
    return "          SKARVEL BACKS UP YOUR FREELANCER DATA\n\r\n\rBefore it changes the game's "
           "data files, Skarvel copies the six files it edits into\n\r" +
           userBackupsFolder() +
           "\n\rThe BACKUP page lists these backups and restores any of them.\n\rA backup of "
           "your whole /data directory of your own is still a good idea.\n\r\n\r!! IF YOU SAY "
           "YES HERE THE TOOL SHUTSDOWN and you can make backups manually !! ";
}
constexpr char kExitQuestion[] = "If you exit the program now, any non saved changes will get "
                                 "lost !\n\rDo you realy want to exit now ?";
constexpr char kOpenInformation[] =
    "Now - only click on the OPEN BUTTON to read the values from the ini files";
constexpr char kNoDataFolder[] = "This seems not to be the correct installation directory. "
                                 "There is no \\data directory under this path";

} // namespace

template <class Signal, class Sender, class Handler>
void TformSkarvel::onSignal(Sender* sender, Signal signal, Handler handler) {
    connect(sender, signal, this, [this, handler] { runHandler(journal_, handler); });
}

TformSkarvel::TformSkarvel(TJournal& journal, std::string programFolder, SingleCopy* singleCopy)
    : journal_(journal), programFolder_(std::move(programFolder)), singleCopy_(singleCopy),
      ui_(std::make_unique<Ui::TformSkarvel>()), dialogs_(this),
      form_(*this, [this](const QString& caption) { ShowPage(caption); }),
      securityDialogs_(preferences_, "SecurityDialogs"),
      checkNewVersion_(preferences_, "CheckNewVersion") {
    ui_->setupUi(this);
    setupMainWindowLayout(*ui_, *this, ownFolders(programFolder_));
    navigation_ = std::make_unique<Navigation>(*ui_->tvMenu, *ui_->pcMain);
    editor_ = std::make_unique<Editor>(journal_, form_, dialogs_, programFolder_,
                                       [this] { return securityDialogs_.get(); });
    keyFilter_ = new KeyFilter(editor_->engineValues(), journal_, this);
    keyFilter_->wireAll(*this);
    hintArea_ = new HintArea(*ui_->memoHint, this);
    hintArea_->wireAll(*this);
    wireHandlers();
    new ConstantsPage(*ui_, *editor_, journal_, this);
    new BackupPage(*ui_, editor_->backups(), journal_, this);
    if (const auto kept = preferences_.read("BackupsKept"); kept && kept->isInteger) {
        editor_->dataSet().backupSettings().kept = static_cast<int>(kept->value);
    }
    FormCreate();
}

TformSkarvel::~TformSkarvel() {
    if (installedErrorHandler() == &journal_) {
        installErrorHandler(nullptr);
    }
}

void TformSkarvel::wireHandlers() {
    onSignal(ui_->btBeenden, &QAbstractButton::clicked, [this] { btBeendenClick(); });
    onSignal(ui_->btRelload, &QAbstractButton::clicked, [this] { editor_->btRelloadClick(); });
    onSignal(ui_->btSave, &QAbstractButton::clicked, [this] { editor_->btSaveClick(); });
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

    onSignal(ui_->cbShowSecurityWarnings, &QAbstractButton::clicked,
             [this] { cbShowSecurityWarningsClick(); });
    onSignal(ui_->cbCheckNewVersion, &QAbstractButton::clicked,
             [this] { cbCheckNewVersionClick(); });
    onSignal(ui_->btopenFlDir, &QAbstractButton::clicked, [this] { btopenFlDirClick(); });
    onSignal(ui_->btOpenFliniDir, &QAbstractButton::clicked, [this] { btOpenFliniDirClick(); });
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

        form_.setText(controls::edFliniDir, makeCorrectPath(programFolder_, journal_));
        journal_.WriteFormatted("BINI Dir = %s", {form_.text(controls::edFliniDir)},
                                JournalEntryKind::Data);
        FDoExit = false;
        form_.setText(controls::edPfad, kNotSet);

        journal_.Write("Reg Created", JournalEntryKind::Info);
        try {
            readPreferences();
            offerUpdate();
            locateGame();
        } catch (...) {
            journal_.Write("Reg.free", JournalEntryKind::Info);
            throw;
        }
        journal_.Write("Reg.free", JournalEntryKind::Info);

        askForBackup();
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
    setStatusText(QString::fromStdString(
        formatText("  :: FL Skarvel Version %d.%d.%d build %d          :: Comments or "
                   "suggestions to ",
                   {info.major, info.minor, info.release, info.build}) +
        SKARVEL_CONTACT_ADDRESS));
}

void TformSkarvel::setStatusText(const QString& text) {
    // The status bar is one simple panel: a label of its own when the design has one.
    if (auto* panel = ui_->StatusBAr->findChild<QLabel*>()) {
        panel->setText(text);
    } else {
        ui_->StatusBAr->showMessage(text);
    }
}

void TformSkarvel::loadSwitch(StoredSwitch& stored, QAbstractButton& box,
                              void (TformSkarvel::*click)()) {
    stored.loadAtStartup();
    const bool on = stored.get();
    if (box.isChecked() != on) {
        // Ticking the box from here counts as a click on it.
        const QSignalBlocker quiet(box);
        box.setChecked(on);
        (this->*click)();
    }
}

void TformSkarvel::readPreferences() {
    loadSwitch(securityDialogs_, *ui_->cbShowSecurityWarnings,
               &TformSkarvel::cbShowSecurityWarningsClick);
    journal_.WriteFormatted("FSecurityDlgs = %d", {static_cast<int>(securityDialogs_.field())},
                            JournalEntryKind::Data);
    loadSwitch(checkNewVersion_, *ui_->cbCheckNewVersion, &TformSkarvel::cbCheckNewVersionClick);
    journal_.WriteFormatted("FCheckNewVersion = %d", {static_cast<int>(checkNewVersion_.field())},
                            JournalEntryKind::Data);
}

std::string TformSkarvel::updateSite() const {
    const auto stored = preferences_.read("UpdateSite");
    const std::optional<std::string> text =
        stored && !stored->isInteger ? std::optional(stored->text) : std::nullopt;
    return chooseUpdateSite(text, builtInUpdateSite());
}

void TformSkarvel::offerUpdate() {
    // Without an update site the check is not offered; the label beside the box says why.
    const bool siteSet = !updateSite().empty();
    ui_->cbCheckNewVersion->setEnabled(siteSet);
    ui_->labNoUpdateSite->setVisible(!siteSet);
    if (!siteSet) {
        journal_.Write(kNoUpdateSite, JournalEntryKind::Info);
        return;
    }
    if (!checkNewVersion_.get() ||
        !isYes(dialogs_.message(MessageKind::Confirmation, kUpdateQuestion))) {
        return;
    }
    journal_.Write("FTP_Update", JournalEntryKind::Begin);
    {
        TMainForm update(this, VersionString(executablePath()), journal_, updateSite(), dialogs_);
        update.exec();
        if (update.outcome() == UpdateOutcome::Downloaded) {
            close(); // asks; a confirmed close ends the program after the start-up
        }
    }
    journal_.Write("FTP_Update", JournalEntryKind::End);
}

void TformSkarvel::locateGame() {
    const GameLocation game = findGame(defaultWinePrefix());
    if (game.keyFound) {
        form_.setText(controls::edPfad, makeCorrectPath(game.appPath, journal_));
        journal_.WriteFormatted("Freelancer InstallDir = %s", {form_.text(controls::edPfad)},
                                JournalEntryKind::Data);
        return;
    }
    dialogs_.message(MessageKind::Plain, kNotInstalled);
    form_.setText(controls::edPfad, kNotSet);
    journal_.Write("FORM_CREATE - No Freelancer installed", JournalEntryKind::Error);
}

void TformSkarvel::askForBackup() {
    if (securityDialogs_.get() && isYes(dialogs_.message(MessageKind::Warning, backupPrompt()))) {
        FDoExit = true;
        journal_.Write("Beende Programm durch Sicherheitshinweis - DO_EXIT",
                       JournalEntryKind::System);
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
    closeConfirmed_ = closes;
    event->setAccepted(closes);
}

bool TformSkarvel::FormClose() {
    if (FDoExit) {
        journal_.Write("Programm wird wegen des Sicherheitsdialoges beendet",
                       JournalEntryKind::System);
        return true;
    }
    journal_.Write("Programm soll beendet werden", JournalEntryKind::System);
    if (!isYes(dialogs_.message(MessageKind::Confirmation, kExitQuestion))) {
        journal_.Write("NEIN - Programm nicht beenden", JournalEntryKind::System);
        return false;
    }
    journal_.Write("JA - Programm beenden", JournalEntryKind::System);
    return editor_->closeForExit();
}

void TformSkarvel::closeForTermination() {
    journal_.Write("Programm wird von außen beendet", JournalEntryKind::System);
    closeConfirmed_ = true;
    runHandler(journal_, [this] { editor_->CloseIniFiles(); });
}

void TformSkarvel::btBeendenClick() {
    close();
}

void TformSkarvel::btReadClick() {
    ui_->tvMenu->setEnabled(true);
    ui_->btRelload->setEnabled(true);
    journal_.Write("README GELESEN UND VERSTANDEN", JournalEntryKind::Info);
    ShowPage(QStringLiteral("Options"));
    ui_->btRead->hide();
    journal_.Write("OPEN INFORMATION SHOWN", JournalEntryKind::Info);
    if (securityDialogs_.get()) {
        dialogs_.message(MessageKind::Information, kOpenInformation);
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

void TformSkarvel::cbShowSecurityWarningsClick() {
    securityDialogs_.set(ui_->cbShowSecurityWarnings->isChecked() ? 1 : 0);
    journal_.Write("CB_SECURITY_WARNING_CLICKED", JournalEntryKind::Info);
}

void TformSkarvel::cbCheckNewVersionClick() {
    checkNewVersion_.set(ui_->cbCheckNewVersion->isChecked() ? 1 : 0);
    journal_.Write("CB_CHECK_NEW_VERSION_CLIKED", JournalEntryKind::Info);
}

void TformSkarvel::btopenFlDirClick() {
    const std::string shown = form_.text(controls::edPfad);
    const std::string start = directoryExists(shown) ? shown : std::string();
    // The answer counts whether the user confirmed or cancelled.
    const std::string answer =
        dialogs_.pickFolder("Choose FREELANCER installation directory", start);
    form_.setText(controls::edPfad, makeCorrectPath(answer, journal_));
    journal_.WriteFormatted("OPENFlDIR_CLICK - Dir chosen = %s", {answer}, JournalEntryKind::Data);
    if (!directoryExists(resolveCaseInsensitive(form_.text(controls::edPfad) + "data"))) {
        dialogs_.message(MessageKind::Error, kNoDataFolder);
        journal_.WriteFormatted("OPENFlDIR_CLICK - Chosen Dir \"%s\"data is not existant", {answer},
                                JournalEntryKind::Error);
    }
}

void TformSkarvel::btOpenFliniDirClick() {
    FileDialogOptions options;
    options.title = "Choose BINI.EXE directory";
    options.fileName = "bini";
    options.filter = "bini|bini;bini.exe";
    options.initialFolder = programFolder_;
    if (const auto chosen = dialogs_.openFile(options)) {
        const std::string folder = std::filesystem::path(*chosen).parent_path().string();
        form_.setText(controls::edFliniDir, makeCorrectPath(folder, journal_));
        journal_.WriteFormatted("OPEN_BINI_DIR_CLICK - Dir chosen = %s",
                                {form_.text(controls::edFliniDir)}, JournalEntryKind::Data);
    }
    const std::string folder = form_.text(controls::edFliniDir);
    // The same test as the open's: a "bini.exe" counts only with Wine to run it.
    if (!findConverter(folder)) {
        dialogs_.message(MessageKind::Error,
                         formatText("Bini.exe does not exist in path \"%s\"", {folder}));
        journal_.WriteFormatted("OPEN_BINI_DIR_CLICK - Bini.exe does not exist in path \"%s\"",
                                {folder}, JournalEntryKind::Error);
    }
}

} // namespace skarvel
