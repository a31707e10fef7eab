#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace skarvel {

class Editor;
class TJournal;

// Watches the six data files of the open set and their folders (a file replaced by rename
// is followed through its folder) and tells the editor when one changed. Changes settle for
// a moment first; while a dialog is open or a command runs, the editor is asked again later.
class DataFileWatcher : public QObject {
public:
    DataFileWatcher(Editor& editor, TJournal& journal, QObject* parent = nullptr);

    // The paths of the set as it is now: watched while it is open, none while it is closed.
    void rewatch();

private:
    void changed();
    void check();

    Editor& editor_;
    TJournal& journal_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    QTimer follow_; // picks up the set's paths after an open or a close
};

} // namespace skarvel
