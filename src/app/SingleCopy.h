#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

namespace skarvel {

// The guard against a second running copy: a lock file "SkarvelStartupMutex" in the user's
// runtime folder ($XDG_RUNTIME_DIR, else the user's cache folder), held until the process
// ends, and a local server beside it over which a second copy asks the first to bring its
// window to the front. Copies with another runtime folder are kept off one game by the lock
// on its data folder.
class SingleCopy {
public:
    // Tries to take the lock; a lock left by a crashed copy is taken over.
    SingleCopy();
    ~SingleCopy();
    SingleCopy(const SingleCopy&) = delete;
    SingleCopy& operator=(const SingleCopy&) = delete;

    // False when another copy holds the lock.
    bool acquired() const { return acquired_; }

    // First copy: raise window whenever a second copy asks.
    void listen(QWidget& window);
    // Second copy: asks the first copy to raise its window. Writes no file. True when the
    // first copy was reached.
    bool raiseFirstCopy() const;

    // The user's own folder of the lock and the server.
    static QString folder();
    static QString lockFileName();
    static QString serverName();

private:
    void raiseWindow();

    QLockFile lock_;
    bool acquired_ = false;
    std::unique_ptr<QLocalServer> server_;
    QPointer<QWidget> window_;
};

} // namespace skarvel
