#include "app/UpdateDialog.h"

#include "app/ControlName.h"
#include "ui_UpdateDialog.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>
#include <climits>

namespace skarvel {

namespace {

const char* const IntroLines[] = {
    "If you like to download the lates version now, please ",
    "make sure your internetconnection is set up properly and ",
    "you are connected !",
    "Then simply use the button \"SEARCH FOR UPDATE\" to ",
    "search and download the most actual version of this tool",
};

// The pale yellow of the introduction (colour value 14811135, stored blue-green-red).
const QColor IntroBackground(0xFF, 0xFF, 0xE1);

char localeDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 0x80 ? point.at(0).toLatin1() : '.';
}

} // namespace

TMainForm::TMainForm(QWidget* owner, std::string runningVersion, TJournal& journal,
                     std::string updateSite, Dialogs& dialogs)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::TMainForm>()) {
    ui_->setupUi(this);
    setFixedSize(392, 190);

    QStringList lines;
    for (const char* line : IntroLines) {
        lines << QString::fromUtf8(line);
    }
    ui_->memoIntro->setPlainText(lines.join(QLatin1Char('\n')));
    ui_->memoIntro->selectAll();
    ui_->memoIntro->setAlignment(Qt::AlignHCenter);
    ui_->memoIntro->moveCursor(QTextCursor::Start);
    QPalette palette = ui_->memoIntro->palette();
    palette.setColor(QPalette::Base, IntroBackground);
    ui_->memoIntro->setPalette(palette);

    // The progress bar lives in the first panel of the status bar (120 wide); the second
    // panel takes the rest and shows speed and time remaining.
    ui_->ProgressBar1->setFixedWidth(120);
    ui_->StatusBar1->addWidget(ui_->ProgressBar1);
    speedPanel_ = new QLabel(ui_->StatusBar1);
    speedPanel_->setObjectName(qtName(controls::StatusBar1Panel1));
    speedPanel_->setMinimumWidth(50);
    QFont statusFont = speedPanel_->font();
    statusFont.setPointSize(7); // the whole speed and time text fits the dialog's width
    speedPanel_->setFont(statusFont);
    ui_->StatusBar1->addWidget(speedPanel_, 1);

    Timer.setInterval(250);
    connect(&Timer, &QTimer::timeout, this, &TMainForm::TimerTimer);
    connect(ui_->btSearch, &QPushButton::clicked, this, &TMainForm::btSearchClick);
    connect(ui_->btAbort, &QPushButton::clicked, this, &TMainForm::btAbortClick);

    onError = [&journal](const std::exception& error) {
        journal.WriteFormatted("EXCEPTION OCCURED  - %s", {error.what()}, JournalEntryKind::Error);
    };

    FtpSettings settings;
    settings.site = std::move(updateSite);
    check_ = std::make_unique<UpdateCheck>(std::move(runningVersion), journal, dialogs,
                                           static_cast<UpdateView&>(*this), std::move(settings),
                                           systemClock(), localeDecimalSeparator());
}

TMainForm::~TMainForm() = default;

QString TMainForm::statusPanelText(int index) const {
    return index == 1 ? speedPanel_->text() : QString();
}

void TMainForm::btSearchClick() {
    try {
        check_->btSearchClick();
    } catch (const std::exception& error) {
        if (onError) {
            onError(error);
        }
    }
}

void TMainForm::btAbortClick() {
    check_->btAbortClick();
}

void TMainForm::TimerTimer() {
    check_->TimerTimer();
}

void TMainForm::reject() {
    check_->btAbortClick();
}

void TMainForm::setSearchEnabled(bool enabled) {
    ui_->btSearch->setEnabled(enabled);
}

void TMainForm::showProgress(std::int64_t minimum, std::int64_t maximum, std::int64_t position) {
    // A progress bar counts in int; very large files are shown in coarser steps.
    const std::int64_t step = maximum / INT_MAX + 1;
    ui_->ProgressBar1->setRange(static_cast<int>(minimum / step), static_cast<int>(maximum / step));
    ui_->ProgressBar1->setValue(static_cast<int>(position / step));
}

void TMainForm::setTimerEnabled(bool enabled) {
    if (enabled) {
        Timer.start();
    } else {
        Timer.stop();
    }
}

void TMainForm::showStatus(const std::string& text) {
    speedPanel_->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TMainForm::closeDialog() {
    done(static_cast<int>(check_->outcome()));
}

void TMainForm::service() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace skarvel
