#include "app/Program.h"

#include "app/ErrorHandler.h"
#include "app/MainWindow.h"
#include "app/SingleCopy.h"
#include "journal/Journal.h"
#include "platform/SystemFacts.h"

#include <QCoreApplication>
#include <cstdlib>
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

} // namespace

int runProgram(int argc, char* argv[]) {
    const char* folder = std::getenv("SKARVEL_PROGRAM_FOLDER");
    return runProgram(argc, argv, folder && *folder ? std::string(folder) : executableFolder());
}

int runProgram(int argc, char* argv[], const std::string& programFolder) {
    SingleCopy singleCopy;
    if (!singleCopy.acquired()) {
        return endAsSecondCopy(argc, argv, singleCopy);
    }

    TJournal journal(programFolder, "DebugOut");
    std::unique_ptr<SkarvelApplication> ownApplication;
    if (!QCoreApplication::instance()) {
        ownApplication = std::make_unique<SkarvelApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(kApplicationTitle);

    int exitCode = 0;
    try {
        TformSkarvel window(journal, programFolder, &singleCopy);
        if (!window.closeConfirmed()) {
            window.show();
            exitCode = QCoreApplication::exec();
        }
    } catch (const std::exception& error) {
        OnApplicationException(journal, error);
        exitCode = 1;
    }
    journal.Release(exitCode);
    return exitCode;
}

} // namespace skarvel
