#include "gamedata/Unpack.h"

#include "gamedata/FileCheck.h"
#include "gamedata/GameFolderPaths.h"
#include "gamedata/SectionHeader.h"
#include "gamedata/TextLines.h"
#include "gamedata/UserIniFile.h"
#include "journal/Encoding.h"
#include "journal/Journal.h"
#include "platform/CaseInsensitivePath.h"
#include "platform/Files.h"
#include "platform/Process.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace skarvel {

namespace {

// The same notion of "compressed" as IsCompressedIni, without its journal lines: the file
// starts with the BINI magic. Read without blocking; what cannot be read is not compressed.
bool isCompressedFile(const std::string& path) {
    std::string bytes;
    return tryReadRegularFile(path, kDataFileSizeCap, bytes) == RegularRead::Read &&
           isCompressedForm(bytes);
}

// The converter's output is accepted only as text with at least one complete header line;
// a converter that dies halfway must not replace the game's file.
bool isCompleteTextForm(const std::string& path) {
    std::string bytes;
    try {
        bytes = readFile(path);
    } catch (const std::exception&) {
        return false;
    }
    if (bytes.find('\0') != std::string::npos) {
        return false;
    }
    const auto lines = splitLines(bytes);
    return std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return opensSection(line) && line.find(']', line.find('[') + 1) != std::string::npos;
    });
}

// Wine takes Windows paths; its Z: drive is the Unix root.
std::string windowsPath(const std::string& path) {
    std::string result = "Z:" + path;
    std::replace(result.begin(), result.end(), '/', '\\');
    return result;
}

void removeQuietly(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

// The text form takes the file's place; a file reached through a link keeps its link.
bool replaceWithOutput(const std::string& output, const std::string& path) {
    try {
        writeFileAtomically(path, readFile(output), /*durable=*/false);
    } catch (const std::exception&) {
        return false;
    }
    removeQuietly(output);
    return true;
}

// Runs the converter on one file and puts its text form in place of the file. False when
// that failed; the file is then as it was and no output is left behind.
bool unpackFile(TJournal& journal, const Converter& converter, const std::string& path) {
    const std::string output = path + ".txt";
    // An output left over from an earlier run must not pass for this run's work.
    removeQuietly(output);

    std::vector<std::string> arguments = converter.leadingArguments;
    arguments.push_back(converter.throughWine ? windowsPath(path) : path);
    const ProcessResult run = runProgram(converter.program, arguments, kConverterTimeLimit);
    const int code = run.started && !run.timedOut ? run.exitCode : -1;
    journal.WriteFormatted("Entpacke Datei [%s]  ErrC= %d", {path, code}, JournalEntryKind::Info);

    std::string reason;
    if (!run.started) {
        reason = "BINI konnte nicht gestartet werden";
    } else if (run.timedOut) {
        reason = formatText("BINI wurde nach %d Sekunden abgebrochen",
                            {static_cast<long long>(kConverterTimeLimit.count())});
    } else if (code != 0) {
        reason = formatText("BINI endete mit Fehlercode %d", {code});
    } else if (!fileExists(output)) {
        reason = "BINI hat keine Textdatei geschrieben";
    } else if (!isCompleteTextForm(output)) {
        reason = "die Textdatei von BINI enthält keine vollständige Sektion";
    } else if (!replaceWithOutput(output, path)) {
        reason = "die Textdatei konnte nicht umbenannt werden";
    }
    if (!reason.empty()) {
        removeQuietly(output);
        // The reason is program text (UTF-8); the path is passed on as it stands.
        journal.WriteFormatted("Entpacken fehlgeschlagen [%s] - %s", {path, toCp1252(reason)},
                               JournalEntryKind::Error);
        return false;
    }
    syncFile(path);
    return true;
}

} // namespace

bool IsCompressedIni(const std::string& path, TJournal& journal) {
    bool compressed = false;
    if (fileExists(path)) {
        const TUserIniFile ini(path, journal); // journals its creation, as it always has
        compressed = isCompressedFile(ini.path());
    }
    journal.WriteFormatted("IS_COMPRESSED_INI (%s) = %s", {path, boolText(compressed)},
                           JournalEntryKind::Info);
    return compressed;
}

std::optional<Converter> findConverter(const std::string& converterFolder) {
    const std::string native = resolveCaseInsensitive(converterFolder + "bini");
    if (fileExists(native)) {
        return Converter{native, {}, false};
    }
    const std::string windows = resolveCaseInsensitive(converterFolder + "bini.exe");
    if (fileExists(windows)) {
        if (const auto wine = findInPath("wine")) {
            return Converter{*wine, {windows}, true};
        }
    }
    return std::nullopt;
}

std::optional<UnpackFailure> UnpackCompressedFiles(TJournal& journal,
                                                   const std::string& converterFolder,
                                                   const DataFileSet& files) {
    // A converter killed while it wrote leaves its temporary file (<file>.txt.XXXXXX) in the
    // game's folder, like the output of an earlier run that unpackFile removes.
    for (int i = 0; i < files.count; ++i) {
        const std::string output = files.files[static_cast<std::size_t>(i)] + ".txt";
        for (const std::string& leftover : removeLeftoverTemporaries(output, ".")) {
            journal.WriteFormatted("Temporäre Datei des Konverters entfernt [%s]", {leftover},
                                   JournalEntryKind::Warning);
        }
    }
    const auto converter = findConverter(converterFolder);
    if (!converter) {
        journal.WriteFormatted("BINI [%s] existiert nicht", {converterFolder},
                               JournalEntryKind::Error);
        // Without the converter a compressed file cannot be read, and the numbering would
        // destroy it.
        for (int i = 0; i < files.count; ++i) {
            const std::string& path = files.files[static_cast<std::size_t>(i)];
            if (isCompressedFile(path)) {
                journal.WriteFormatted("Datei [%s] ist komprimiert und kann ohne BINI nicht "
                                       "entpackt werden",
                                       {path}, JournalEntryKind::Error);
                return UnpackFailure{path, true};
            }
        }
        return std::nullopt;
    }

    journal.WriteFormatted("BINI [%s] existiert", {converterFolder}, JournalEntryKind::Info);
    journal.Write("Entpacke die Ini Dateien", JournalEntryKind::Begin);
    for (int i = 0; i < files.count; ++i) {
        const std::string& path = files.files[static_cast<std::size_t>(i)];
        if (!IsCompressedIni(path, journal)) {
            continue;
        }
        if (!unpackFile(journal, *converter, path)) {
            journal.Write("Entpacke die Ini Dateien", JournalEntryKind::End);
            return UnpackFailure{path, false};
        }
    }
    journal.Write("Entpacke die Ini Dateien", JournalEntryKind::End);
    return std::nullopt;
}

} // namespace skarvel
