#include "app/SystemInformation.h"

#include "journal/Journal.h"
#include "journal/JournaledPath.h"
#include "platform/SystemFacts.h"

#include <QGuiApplication>
#include <QScreen>
#include <string>

namespace skarvel {

void WriteSystemInformation(TJournal& journal) {
    journal.Write("System Information", JournalEntryKind::Begin);

    // Paths here have no drive part: the root of the volume is the root folder.
    makeCorrectPath("/", journal);

    const OperatingSystemVersion system = operatingSystemVersion();
    journal.WriteFormatted(
        "System = %s",
        {formatText("%s %d.%d.%d", {system.name, system.major, system.minor, system.build})},
        JournalEntryKind::Data);
    journal.WriteFormatted("System Char = %s", {system.extra}, JournalEntryKind::Data);

    const std::string executable = executablePath();
    journal.WriteFormatted("Application = %s", {executable}, JournalEntryKind::Data);

    journal.Write("Bildschirm Anzahl = " + std::to_string(QGuiApplication::screens().size()),
                  JournalEntryKind::Data);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(0, 0);
    const QSize workArea = screen ? screen->availableGeometry().size() : QSize(0, 0);
    journal.WriteFormatted("Bildschirm Auflösung = %d x %d",
                           {screenSize.width(), screenSize.height()}, JournalEntryKind::Data);
    journal.WriteFormatted("WorkSpace Auflösung = %d x %d", {workArea.width(), workArea.height()},
                           JournalEntryKind::Data);

    const std::string fileSystem = fileSystemName(executableFolder());
    if (fileSystem.empty()) {
        journal.Write("Dateisystem konnte nicht ermittelt werden", JournalEntryKind::Action);
    } else {
        journal.WriteFormatted("Dateisystem = %s", {fileSystem}, JournalEntryKind::Data);
    }

    journal.Write("System Information", JournalEntryKind::End);
}

} // namespace skarvel
