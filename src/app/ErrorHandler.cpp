#include "app/ErrorHandler.h"

#include "journal/Journal.h"

#include <QDebug>
#include <stdexcept>

namespace skarvel {

namespace {

TJournal* errorJournal = nullptr;

} // namespace

void OnApplicationException(TJournal& journal, const std::exception& error) {
    try {
        journal.WriteFormatted("EXCEPTION OCCURED  - %s", {error.what()}, JournalEntryKind::Error);
    } catch (const std::exception& failure) {
        // The journal itself failed; there is nowhere left to report it but the console.
        qWarning("EXCEPTION OCCURED  - %s (journal: %s)", error.what(), failure.what());
    }
}

void OnApplicationException(TJournal& journal, std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& exception) {
        OnApplicationException(journal, exception);
    } catch (...) {
        OnApplicationException(journal, std::runtime_error("Unknown exception"));
    }
}

void installErrorHandler(TJournal* journal) {
    errorJournal = journal;
}

TJournal* installedErrorHandler() {
    return errorJournal;
}

SkarvelApplication::SkarvelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool SkarvelApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const CommandEnded&) {
        return false;
    } catch (...) {
        if (errorJournal) {
            OnApplicationException(*errorJournal, std::current_exception());
        } else {
            qWarning("An error reached the event loop before the error handler was installed");
        }
        return false;
    }
}

} // namespace skarvel
