#include "app/DataFileWatcher.h"

#include "app/ErrorHandler.h"
#include "ships/Editor.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace skarvel {

namespace {

// Long enough for an editor's save (write, rename) to finish; short enough to be noticed at
// once.
constexpr int kSettleMs = 250;
constexpr int kRetryMs = 500;
constexpr int kFollowMs = 200;

} // namespace

DataFileWatcher::DataFileWatcher(Editor& editor, TJournal& journal, QObject* parent)
    : QObject(parent), editor_(editor), journal_(journal) {
    settle_.setSingleShot(true);
    connect(&settle_, &QTimer::timeout, this, &DataFileWatcher::check);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &DataFileWatcher::changed);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &DataFileWatcher::changed);
    connect(&follow_, &QTimer::timeout, this, &DataFileWatcher::rewatch);
    follow_.start(kFollowMs);
}

void DataFileWatcher::rewatch() {
    QStringList wanted;
    if (editor_.dataSet().isOpen()) {
        for (const std::string& path : editor_.dataSet().files().files) {
            const QString file = QFile::decodeName(QByteArray::fromStdString(path));
            if (QFileInfo::exists(file)) {
                wanted << file;
            }
            const QString folder = QFileInfo(file).absolutePath();
            if (!wanted.contains(folder)) {
                wanted << folder;
            }
        }
    }
    QStringList watched = watcher_.files() + watcher_.directories();
    wanted.sort();
    watched.sort();
    if (wanted == watched) {
        return;
    }
    if (!watched.isEmpty()) {
        watcher_.removePaths(watched);
    }
    if (!wanted.isEmpty()) {
        watcher_.addPaths(wanted);
        // A change made before the watch began has sent no signal.
        settle_.start(kSettleMs);
    }
}

void DataFileWatcher::changed() {
    settle_.start(kSettleMs);
}

void DataFileWatcher::check() {
    if (QApplication::activeModalWidget() != nullptr) {
        settle_.start(kRetryMs);
        return;
    }
    bool done = true;
    runHandler(journal_, [&] { done = editor_.filesChangedOutside(); });
    if (!done) {
        settle_.start(kRetryMs);
    }
    rewatch();
}

} // namespace skarvel
