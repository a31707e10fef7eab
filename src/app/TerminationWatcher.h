#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace skarvel {

// Turns SIGTERM and SIGHUP, and the end of the desktop session, into one call on the event
// loop, so that an open data set is closed cleanly (its numbers removed, the journal
// closed) before the program ends. The signal handler itself only writes a byte to a
// socket; everything else runs on the user-interface thread.
class TerminationWatcher : public QObject {
public:
    explicit TerminationWatcher(std::function<void()> onTermination);
    ~TerminationWatcher() override;
    TerminationWatcher(const TerminationWatcher&) = delete;
    TerminationWatcher& operator=(const TerminationWatcher&) = delete;

private:
    void terminate();

    std::function<void()> onTermination_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool done_ = false;
};

} // namespace skarvel
