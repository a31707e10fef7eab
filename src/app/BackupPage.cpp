#include "app/BackupPage.h"

#include "app/ErrorHandler.h"
#include "commands/BackupCommands.h"
#include "journal/Journal.h"
#include "ui_MainWindow.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTreeWidget>
#include <QUrl>

namespace skarvel {

namespace {

enum Column { kWhen, kCause, kFiles, kSize, kGameNow };

QString fromBytes(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString sizeText(std::uint64_t bytes) {
    return QLocale::c().formattedDataSize(static_cast<qint64>(bytes), 1,
                                          QLocale::DataSizeTraditionalFormat);
}

QString comparisonText(const FileComparison& file) {
    return file.same           ? QStringLiteral("same")
           : file.sameUnpacked ? QStringLiteral("same (unpacked)")
                               : QStringLiteral("differs");
}

QTreeWidgetItem* rowItem(const BackupRow& row) {
    int differing = 0;
    for (const FileComparison& file : row.files) {
        differing += file.same || file.sameUnpacked ? 0 : 1;
    }
    auto* item = new QTreeWidgetItem();
    item->setText(kWhen, fromBytes(row.shownTime));
    item->setText(kCause, fromBytes(row.backup.manifest.cause) +
                              (row.original ? QStringLiteral(" - original") : QString()));
    item->setText(kFiles, QString::number(row.files.size()));
    item->setText(kSize, sizeText(row.totalSize));
    item->setText(kGameNow, differing == 0   ? QStringLiteral("same")
                            : differing == 1 ? QStringLiteral("1 differs")
                                             : QStringLiteral("%1 differ").arg(differing));
    item->setData(kWhen, Qt::UserRole, fromBytes(row.backup.name));
    for (const FileComparison& file : row.files) {
        auto* child = new QTreeWidgetItem(item);
        child->setText(kWhen, fromBytes(file.file.path));
        child->setText(kSize, sizeText(file.file.size));
        child->setText(kGameNow, comparisonText(file));
    }
    return item;
}

// The differences as text, one file after the other, and the lines to mark.
struct DiffView {
    QString text;
    std::vector<std::pair<int, char>> marked; // line number, '-' or '+'
};

DiffView diffView(const std::vector<FileDifference>& files) {
    DiffView view;
    int line = 0;
    const auto add = [&](const QString& text) {
        view.text += text + QLatin1Char('\n');
        ++line;
    };
    for (const FileDifference& file : files) {
        add(fromBytes(file.path) + QStringLiteral(": ") + fromBytes(file.state));
        if (!file.lines.empty()) {
            add(QStringLiteral("--- the game's file now"));
            add(QStringLiteral("+++ the backup's file"));
        }
        for (const DiffLine& diff : file.lines) {
            if (diff.mark == '-' || diff.mark == '+') {
                view.marked.emplace_back(line, diff.mark);
            }
            add(diff.mark == '@'
                    ? QStringLiteral("@@ ") + fromBytes(diff.text) + QStringLiteral(" @@")
                    : fromBytes(std::string{diff.mark, ' '} + diff.text));
        }
        add(QString());
    }
    return view;
}

} // namespace

BackupPage::BackupPage(Ui::TformSkarvel& ui, BackupCommands& commands, TJournal& journal,
                       QObject* parent)
    : QObject(parent), ui_(ui), commands_(commands), journal_(journal) {
    QHeaderView& header = *ui_.tvBackups->header();
    header.setStretchLastSection(false);
    header.setSectionResizeMode(kWhen, QHeaderView::Stretch);
    for (int column : {kCause, kFiles, kSize, kGameNow}) {
        header.setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    onClick(ui_.btBackupNow, [this] { commands_.btBackupNowClick(); });
    onClick(ui_.btBackupRestore, [this] { commands_.btBackupRestoreClick(selectedBackup()); });
    onClick(ui_.btBackupDelete, [this] { commands_.btBackupDeleteClick(selectedBackup()); });
    onClick(ui_.btBackupOpenFolder, [this] { openFolder(); });
    ui_.memoBackupDiff->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    connect(ui_.tvBackups, &QTreeWidget::currentItemChanged, this,
            [this] { runHandler(journal_, [this] { showDifferences(); }); });
    // The list is read when the page comes to the front: the files may have changed since.
    connect(ui_.pcMain, &QTabWidget::currentChanged, this, [this] {
        if (ui_.pcMain->currentWidget() == ui_.tsBackup) {
            runHandler(journal_, [this] { refresh(); });
        }
    });
}

template <class Command> void BackupPage::onClick(QObject* button, Command command) {
    connect(qobject_cast<QAbstractButton*>(button), &QAbstractButton::clicked, this,
            [this, command] {
                runHandler(journal_, [this, command] {
                    command();
                    refresh();
                });
            });
}

void BackupPage::refresh() {
    const std::string selected = selectedBackup();
    QTreeWidget& tree = *ui_.tvBackups;
    tree.clear();
    for (const BackupRow& row : commands_.rows()) {
        QTreeWidgetItem* item = rowItem(row);
        tree.addTopLevelItem(item);
        if (row.backup.name == selected) {
            tree.setCurrentItem(item);
        }
    }
}

void BackupPage::showDifferences() {
    QPlainTextEdit& memo = *ui_.memoBackupDiff;
    const std::string name = selectedBackup();
    const DiffView view =
        diffView(name.empty() ? std::vector<FileDifference>{} : commands_.differences(name));
    memo.setPlainText(view.text);
    QList<QTextEdit::ExtraSelection> marks;
    for (const auto& [line, mark] : view.marked) {
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(memo.document()->findBlockByNumber(line));
        selection.format.setBackground(mark == '-' ? QColor(255, 220, 220) : QColor(210, 245, 210));
        selection.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(selection);
    }
    memo.setExtraSelections(marks);
}

std::string BackupPage::selectedBackup() const {
    const QTreeWidgetItem* item = ui_.tvBackups->currentItem();
    while (item && item->parent()) {
        item = item->parent();
    }
    return item ? item->data(kWhen, Qt::UserRole).toString().toLatin1().toStdString()
                : std::string();
}

QString folderName(const std::string& folder) {
    // A path is in the file system's encoding, not Latin-1.
    return QFile::decodeName(QByteArray(folder.data(), static_cast<qsizetype>(folder.size())));
}

void BackupPage::openFolder() {
    const std::string folder = commands_.folder();
    QDir().mkpath(folderName(folder));
    journal_.Write("Sicherungsordner öffnen [" + folder + "]", JournalEntryKind::System);
    QDesktopServices::openUrl(QUrl::fromLocalFile(folderName(folder)));
}

} // namespace skarvel
