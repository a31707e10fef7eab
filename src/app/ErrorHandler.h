#pragma once

#include "ports/Dialogs.h"

#include <QApplication>
#include <exception>
#include <utility>

namespace skarvel {

class TJournal;

// OnApplicationException: an error that left an event handler is one Error line in the
// journal and nothing else; the program goes on with the next event.
void OnApplicationException(TJournal& journal, const std::exception& error);
void OnApplicationException(TJournal& journal, std::exception_ptr error);

// Runs one handler; an error that leaves it goes to OnApplicationException. True when the
// handler ran through.
template <class Handler> bool runHandler(TJournal& journal, Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const CommandEnded&) {
        return false; // the program is being ended; this is no error
    } catch (...) {
        OnApplicationException(journal, std::current_exception());
        return false;
    }
}

// The application object: routes every error that reaches the event loop to the journal
// installed with installErrorHandler (before that, the error is only printed).
class SkarvelApplication : public QApplication {
public:
    SkarvelApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The journal of the running window; nullptr uninstalls it.
void installErrorHandler(TJournal* journal);
TJournal* installedErrorHandler();

} // namespace skarvel
