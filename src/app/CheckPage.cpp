#include "app/CheckPage.h"

#include "app/ErrorHandler.h"
#include "app/TextEditor.h"
#include "check/Rules.h"
#include "ui_MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidgetItemIterator>

namespace skarvel {

namespace {

constexpr char kMenuCaption[] = "CHECK";
// How often the files of the last check are looked at for a change (a few stat calls).
constexpr int kLookMs = 1000;

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CheckPage::CheckPage(Ui::TformSkarvel& ui, Editor& editor, Form& form, Dialogs& dialogs,
                     TJournal& journal, QObject* parent)
    : QObject(parent), ui_(ui), journal_(journal), model_(this), filter_(this),
      commands_(editor, form, dialogs,
                [this](const check::Problems& problems) { show(problems); }) {
    filter_.setSourceModel(&model_);
    ui_.tvProblems->setModel(&filter_);
    ui_.tvProblems->horizontalHeader()->setStretchLastSection(true);
    // By file and line, as the check gives them, until the user sorts by a column.
    ui_.tvProblems->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    ui_.tvProblems->verticalHeader()->hide();

    ui_.cbCheckSeverity->addItem(QStringLiteral("All severities"), QString());
    for (const auto severity : {check::Severity::Error, check::Severity::Warning}) {
        const QString text = latin1(check::severityText(severity));
        ui_.cbCheckSeverity->addItem(text + QLatin1Char('s'), text);
    }
    ui_.cbCheckRule->addItem(QStringLiteral("All rules"), QString());
    for (const check::Rule& rule : check::rules()) {
        ui_.cbCheckRule->addItem(latin1(rule.id), latin1(rule.id));
        ui_.cbCheckRule->setItemData(ui_.cbCheckRule->count() - 1, latin1(rule.text),
                                     Qt::ToolTipRole);
    }
    connect(ui_.cbCheckSeverity, &QComboBox::currentIndexChanged, this, [this] { applyFilter(); });
    connect(ui_.cbCheckRule, &QComboBox::currentIndexChanged, this, [this] { applyFilter(); });

    auto* copy = new QAction(QStringLiteral("Copy file:line"), ui_.tvProblems);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    ui_.tvProblems->addAction(copy);
    problemsTable_ = ui_.tvProblems;
    ui_.tvProblems->installEventFilter(this);
    ui_.tvProblems->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(copy, &QAction::triggered, this, [this] { copyFileLine(); });
    auto* open = new QAction(QStringLiteral("Open in text editor"), ui_.tvProblems);
    ui_.tvProblems->addAction(open);
    connect(open, &QAction::triggered, this, [this] { openInTextEditor(); });
    auto* whereUsed = new QAction(QStringLiteral("Where used…"), ui_.tvProblems);
    ui_.tvProblems->addAction(whereUsed);
    connect(whereUsed, &QAction::triggered, this, [this] {
        const int row = problemAt(ui_.tvProblems->currentIndex());
        if (row < 0 || !whereUsed_) {
            return;
        }
        const std::string& nickname = model_.problems()[static_cast<std::size_t>(row)].nickname;
        if (!nickname.empty()) {
            runHandler(journal_, [this, nickname] {
                whereUsed_(
                    QString::fromLatin1(nickname.data(), static_cast<qsizetype>(nickname.size())));
            });
        }
    });

    // A save of any page, a restore or another program changes the files: check again.
    connect(&look_, &QTimer::timeout, this, [this] {
        if (QApplication::activeModalWidget() == nullptr) {
            runHandler(journal_, [this] { commands_.checkIfChanged(); });
        }
    });
    look_.start(kLookMs);

    // After the editor's own handlers of the same buttons: the files are open or saved then.
    onClick(ui_.btCheckNow, [this] { commands_.btCheckNowClick(); });
    onClick(ui_.btRelload, [this] { commands_.btCheckNowClick(); });
    onClick(ui_.btOutsideReload, [this] { commands_.btCheckNowClick(); });
    onClick(ui_.btSave, [this] { commands_.checkAfterSave(); });
    connect(ui_.tvProblems, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) {
                const int problem = problemAt(index);
                runHandler(journal_, [this, problem] {
                    commands_.tvProblemsDoubleClick(static_cast<std::size_t>(problem));
                });
            });
}

bool CheckPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == problemsTable_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        copyFileLine();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

template <class Handler> void CheckPage::onClick(QObject* button, Handler handler) {
    connect(qobject_cast<QAbstractButton*>(button), &QAbstractButton::clicked, this,
            [this, handler] { runHandler(journal_, handler); });
}

void CheckPage::show(const check::Problems& problems) {
    model_.setProblems(problems);
    ui_.tvProblems->resizeColumnsToContents();
    // The menu item of the page: tree item i belongs to page i.
    const int page = ui_.pcMain->indexOf(ui_.tsCheck);
    QTreeWidgetItemIterator item(ui_.tvMenu);
    for (int i = 0; *item && i < page; ++i) {
        ++item;
    }
    if (*item) {
        (*item)->setText(0, QStringLiteral("%1 (%2)")
                                .arg(QLatin1String(kMenuCaption))
                                .arg(check::countOf(problems, check::Severity::Error)));
    }
}

void CheckPage::applyFilter() {
    filter_.setFilter(ui_.cbCheckSeverity->currentData().toString(),
                      ui_.cbCheckRule->currentData().toString());
}

int CheckPage::problemAt(const QModelIndex& viewIndex) const {
    const QModelIndex source = filter_.mapToSource(viewIndex);
    return source.isValid() ? source.row() : -1;
}

void CheckPage::copyFileLine() {
    const int row = problemAt(ui_.tvProblems->currentIndex());
    if (row < 0) {
        return;
    }
    const check::Problem& problem = model_.problems()[static_cast<std::size_t>(row)];
    QApplication::clipboard()->setText(QString::fromUtf8(problem.file) + QLatin1Char(':') +
                                       QString::number(problem.line));
}

void CheckPage::openInTextEditor() {
    const int row = problemAt(ui_.tvProblems->currentIndex());
    if (row < 0) {
        return;
    }
    const auto index = static_cast<std::size_t>(row);
    skarvel::openInTextEditor(commands_.pathOf(index), model_.problems()[index].line);
}

} // namespace skarvel
