#include "app/Program.h"

#include "app/CommandLine.h"
#include "app/ErrorHandler.h"
#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "app/SingleCopy.h"
#include "app/TerminationWatcher.h"
#include "commands/DemoGame.h"
#include "journal/Journal.h"
#include "platform/OwnFolders.h"
#include "platform/SystemFacts.h"

#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <cstdlib>
#include <iostream>
#include <memory>

namespace skarvel {

namespace {

constexpr char kApplicationTitle[] = "Freelancer Skarvel";

// A second copy only asks the first one to come to the front and ends. It takes the lock
// before anything else, so that it writes no file at all, not even a journal.
int endAsSecondCopy(int argc, char* argv[], const SingleCopy& singleCopy) {
    std::unique_ptr<QCoreApplication> ownApplication;
    if (!QCoreApplication::instance()) {
        ownApplication = std::make_unique<QCoreApplication>(argc, argv);
    }
    singleCopy.raiseFirstCopy();
    return 0;
}

// The program goes on without its journal; the user learns it once, so that an error report
// does not come with a journal that stops short.
void warnOfJournalFailure(const std::string& problem) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"),
                    QStringLiteral("The journal cannot be written: %1\nSkarvel goes on without "
                                   "it; from now on its steps are not recorded.")
                        .arg(QFile::decodeName(QByteArray::fromStdString(problem))),
                    QMessageBox::Ok);
    box.exec();
}

// skarvel --demo: the demo game is laid out before the start-up looks for the game. False
// when it cannot be; the user has been told why.
bool prepareDemoGame(TJournal& journal) {
    QtDialogs dialogs(nullptr);
    try {
        journal.WriteFormatted("Demo game = %s", {useDemoGame(dialogs, executableFolder())},
                               JournalEntryKind::Data);
        return true;
    } catch (const std::exception& error) {
        journal.WriteFormatted("Demo game failed - %s", {error.what()}, JournalEntryKind::Error);
        dialogs.message(MessageKind::Error, error.what());
        return false;
    }
}

} // namespace

int runProgram(int argc, char* argv[]) {
    const char* folder = std::getenv("SKARVEL_PROGRAM_FOLDER");
    return runProgram(argc, argv, folder && *folder ? std::string(folder) : executableFolder());
}

int runProgram(int argc, char* argv[], const std::string& programFolder) {
    // --help and --version answer before any lock, file or display is touched.
    if (const std::optional<int> answered = answerCommandLine(argc, argv, std::cout, std::cerr)) {
        return *answered;
    }
    SingleCopy singleCopy;
    if (!singleCopy.acquired()) {
        return endAsSecondCopy(argc, argv, singleCopy);
    }

    const OwnFolders folders = ownFolders(programFolder);
    TJournal journal(folders.journal, "DebugOut");
    if (!folders.inProgramFolder) {
        journal.WriteFormatted(
            "Programmordner %s ist nicht beschreibbar - Journal in %s, Kopien in %sdata/",
            {programFolder, folders.journal, folders.copiesBase}, JournalEntryKind::Info);
    }
    std::unique_ptr<SkarvelApplication> ownApplication;
    if (!QCoreApplication::instance()) {
        ownApplication = std::make_unique<SkarvelApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QLatin1String(kApplicationTitle));
    journal.setFailureHandler(warnOfJournalFailure);
    const bool demo = asksForDemo(argc, argv);
    if (demo && !prepareDemoGame(journal)) {
        journal.Release(1);
        return 1;
    }

    int exitCode = 0;
    try {
        TformSkarvel window(journal, programFolder, &singleCopy);
        const TerminationWatcher termination([&window] { window.closeForTermination(); });
        if (demo) {
            window.openWhenRead(); // the demo opens with no further step
        }
        if (!window.closeConfirmed()) {
            window.show();
            exitCode = QCoreApplication::exec();
        }
        window.finishTermination();
    } catch (const std::exception& error) {
        OnApplicationException(journal, error);
        exitCode = 1;
    }
    journal.setFailureHandler({}); // the window is gone: no box for the closing lines
    journal.Release(exitCode);
    return exitCode;
}

} // namespace skarvel
