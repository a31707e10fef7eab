#include "usage/RenameCommands.h"

#include "check/ModFiles.h"
#include "gamedata/DataSet.h"
#include "gamedata/FileCheck.h"
#include "gamedata/IniEngine.h"
#include "journal/Journal.h"
#include "platform/AsciiText.h"
#include "platform/LineEnds.h"
#include "ships/Editor.h"
#include "usage/ValueItems.h"
#include "usage/WhereUsed.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace skarvel {

namespace {

// The set's files: a rename of their lines goes through their objects.
constexpr SettingsFile kSetFiles[] = {SettingsFile::ShipArch,     SettingsFile::Goods,
                                      SettingsFile::MiscEquip,    SettingsFile::EngineEquip,
                                      SettingsFile::NewCharacter, SettingsFile::Constants};

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code failed;
    return std::filesystem::equivalent(a, b, failed);
}

// The file at path as a line edit reaches it: one of the set's files, or a further one.
SectionRef fileRef(const DataSet& dataSet, const std::string& path) {
    for (const SettingsFile file : kSetFiles) {
        if (sameFile(path, dataSet.ini(file).path())) {
            return SectionRef::wholeFile(file);
        }
    }
    // Asked only for its own name: the object is made on the first question.
    if (equalsIgnoringCase(std::filesystem::path(path).filename().string(),
                           "market_commodities.ini") &&
        sameFile(path, dataSet.ini(SettingsFile::MarketCommodities).path())) {
        return SectionRef::wholeFile(SettingsFile::MarketCommodities);
    }
    return SectionRef::wholeFile(SettingsFile::ModFile, path);
}

// The 1-based line's start in the bytes, or npos past their end.
std::size_t startOf(std::string_view bytes, const std::vector<std::size_t>& starts, int line) {
    const auto at = static_cast<std::size_t>(line - 1);
    return at < starts.size() && starts[at] < bytes.size() ? starts[at] : std::string_view::npos;
}

// The texts of those lines (without their line ends), each ended by "\n"; a line past the
// end of the bytes is empty.
std::string linesOf(std::string_view bytes, const std::vector<int>& lines) {
    const std::vector<std::size_t> starts = lineStartsOf(bytes);
    std::string text;
    for (const int line : lines) {
        if (const std::size_t start = startOf(bytes, starts, line);
            start != std::string_view::npos) {
            text.append(lineAt(bytes, start).text);
        }
        text.push_back('\n');
    }
    return text;
}

// The bytes with the items naming from in those lines renamed, each line as it is now: an
// edit of another program elsewhere in the line, and every line end, stay.
std::string renamedBytes(std::string_view bytes, const std::vector<int>& lines,
                         std::string_view from, std::string_view to) {
    const std::vector<std::size_t> starts = lineStartsOf(bytes);
    std::string edited;
    edited.reserve(bytes.size() + lines.size() * to.size());
    std::size_t copied = 0;
    for (const int line : lines) {
        const std::size_t start = startOf(bytes, starts, line);
        if (start == std::string_view::npos) {
            break;
        }
        const std::string_view text = lineAt(bytes, start).text;
        edited.append(bytes.substr(copied, start - copied));
        edited.append(usage::renamedLine(text, from, to));
        copied = start + text.size();
    }
    edited.append(bytes.substr(copied));
    return edited;
}

bool names(std::string_view line, std::string_view name) {
    bool found = false;
    usage::forEachNamedItem(usage::valueOfLine(line), [&](std::string_view item) {
        found = found || equalsIgnoringCase(item, name);
    });
    return found;
}

// The first of those lines that names neither from nor to (one moved by a line another change
// added or took out above it), or 0.
int lineNamingNeither(std::string_view bytes, const std::vector<int>& lines, std::string_view from,
                      std::string_view to) {
    const std::vector<std::size_t> starts = lineStartsOf(bytes);
    for (const int line : lines) {
        const std::size_t start = startOf(bytes, starts, line);
        const std::string_view text =
            start == std::string_view::npos ? std::string_view() : lineAt(bytes, start).text;
        if (!names(text, from) && !names(text, to)) {
            return line;
        }
    }
    return 0;
}

} // namespace

RenameCommands::RenameCommands(TJournal& journal, Editor& editor)
    : journal_(journal), editor_(editor), registration_(editor.document().addSource(*this)) {}

std::string RenameCommands::rename(std::string_view from, std::string_view to) {
    const DataSet& dataSet = editor_.dataSet();
    if (!dataSet.isOpen()) {
        return "The data files are not open.";
    }
    for (const Rename& each : pending_) {
        for (const std::string_view name : {from, to}) {
            if (equalsIgnoringCase(name, each.from) || equalsIgnoringCase(name, each.to)) {
                return std::string(name) + " is a name of the pending rename of " + each.from +
                       " to " + each.to + ": save or undo that rename first.";
            }
        }
    }
    check::ModFiles mod;
    try {
        mod = check::readModFiles(dataSet.gameDirectory());
    } catch (const std::exception& error) {
        return std::string("The files of the mod could not be read: ") + error.what();
    }
    // A use in a file that was not read would keep the old name.
    if (!mod.unread.empty()) {
        const check::UnreadFile& unread = mod.unread.front();
        return std::string(from) + " is not renamed, because " + unread.shown + " (named in " +
               unread.namedIn + ") cannot be read, and it may name it.";
    }
    usage::RenamePlan plan = usage::planRename(usage::UsageIndex::build(mod), from, to);
    if (!plan.refusal.empty()) {
        return plan.refusal;
    }
    Rename rename{std::string(from), std::string(to), std::move(plan.lines), {}};
    if (std::string refusal = placeFiles(rename, mod); !refusal.empty()) {
        return refusal;
    }
    journal_.WriteFormatted("Umbenennen: %s in %s, %d Zeilen in %d Dateien",
                            {rename.from, rename.to, static_cast<long long>(rename.lines.size()),
                             static_cast<long long>(rename.files.size())},
                            JournalEntryKind::Action);
    pending_.push_back(std::move(rename));
    return {};
}

std::string RenameCommands::placeFiles(Rename& rename, const check::ModFiles& mod) const {
    const DataSet& dataSet = editor_.dataSet();
    std::vector<const check::SourceFile*> sources; // of each file, as read
    for (const usage::LineChange& change : rename.lines) {
        const auto source =
            std::find_if(mod.files.begin(), mod.files.end(),
                         [&](const check::SourceFile& file) { return file.shown == change.file; });
        if (source == mod.files.end()) {
            throw std::logic_error("a planned line of a file the mod does not hold");
        }
        const std::string path = mod.gameFolder + change.file;
        auto file = std::find_if(rename.files.begin(), rename.files.end(),
                                 [&](const FileLines& each) { return each.path == path; });
        if (file == rename.files.end()) {
            SectionRef ref = fileRef(dataSet, path);
            // Further files are written only inside the data folder.
            if (ref.file == SettingsFile::ModFile &&
                !startsWithIgnoringCase(path, dataSet.files().dataDir)) {
                return rename.from + " is not renamed, because " + change.file +
                       " names it, which lies outside the data folder.";
            }
            const std::string problem =
                dataFileProblem(path, ref.file == SettingsFile::MarketCommodities);
            if (!problem.empty()) {
                return rename.from + " is not renamed, because " + path + " " + problem + ".";
            }
            file = rename.files.insert(rename.files.end(),
                                       FileLines{path, std::move(ref), {}, {}, {}});
            sources.push_back(&*source);
        }
        // The save finds the line by its number and its text as read (the line starts the
        // read found: a large file is not split again for each of its lines).
        const std::string_view bytes = source->ini->bytes();
        const std::size_t start = startOf(bytes, source->lineStarts, change.line);
        if (start == std::string_view::npos || lineAt(bytes, start).text != change.before) {
            return rename.from + " is not renamed, because line " + std::to_string(change.line) +
                   " of " + change.file + " cannot be told apart by its line ends.";
        }
        file->lines.push_back(change.line);
    }
    for (std::size_t i = 0; i < rename.files.size(); ++i) {
        // A file the mod names twice gives its lines twice.
        std::vector<int>& lines = rename.files[i].lines;
        std::sort(lines.begin(), lines.end());
        lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
        rename.files[i].loadedLines = linesOf(sources[i]->ini->bytes(), lines);
        rename.files[i].renamedLines =
            linesOf(renamedBytes(sources[i]->ini->bytes(), lines, rename.from, rename.to), lines);
    }
    return {};
}

void RenameCommands::undoLast() {
    if (!pending_.empty()) {
        journal_.WriteFormatted("Umbenennen zurückgenommen: %s in %s",
                                {pending_.back().from, pending_.back().to},
                                JournalEntryKind::Action);
        pending_.pop_back();
    }
}

void RenameCommands::addTo(ChangeSet& changes) {
    for (const Rename& rename : pending_) {
        const std::string owner = "rename of " + rename.from;
        for (const FileLines& file : rename.files) {
            LineEdit edit;
            edit.section = file.file;
            edit.owner = owner;
            edit.what = "lines of the rename of " + rename.from + " to " + rename.to;
            edit.group = owner; // no two pending renames share a name
            // A line found by its number must still be the one planned: a rename that would
            // miss a use stops the save before anything is written.
            edit.apply = [lines = file.lines, path = file.path, from = rename.from,
                          to = rename.to](const std::string& bytes) {
                if (const int moved = lineNamingNeither(bytes, lines, from, to); moved != 0) {
                    throw std::runtime_error(
                        "Nothing was written, because line " + std::to_string(moved) + " of " +
                        path + " no longer names " + from + ", which the rename to " + to +
                        " changes there. Undo the rename and make it again.");
                }
                return renamedBytes(bytes, lines, from, to);
            };
            // Lines that hold the rename already (a save that stopped part way wrote them) are
            // as planned: writing them again changes nothing.
            edit.linesIn = [lines = file.lines, loaded = file.loadedLines,
                            renamed = file.renamedLines](const ini::ParsedIni& ini) {
                std::string now = linesOf(ini.bytes(), lines);
                return now == renamed ? loaded : now;
            };
            edit.loadedLines = file.loadedLines;
            edit.write = [this, ref = file.file, apply = edit.apply, from = rename.from,
                          to = rename.to] {
                const std::string& path = editor_.dataSet().iniOf(ref).path();
                const auto now = ini::currentIni(path);
                if (!now) {
                    throw std::runtime_error("Unable to write to " + path + ": it cannot be read");
                }
                journal_.WriteFormatted("Umbenannt [%s] %s in %s", {path, from, to},
                                        JournalEntryKind::Info);
                if (std::string edited = apply(now->bytes()); edited != now->bytes()) {
                    ini::replaceIniBytes(path, std::move(edited));
                }
            };
            // The file's lines stay: the whole rename is dropped, in every file.
            edit.keepFile = [this, from = rename.from] {
                std::erase_if(pending_, [&](const Rename& each) { return each.from == from; });
            };
            changes.lineEdits.push_back(std::move(edit));
        }
    }
}

} // namespace skarvel
