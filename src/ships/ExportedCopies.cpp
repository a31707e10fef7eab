#include "ships/ExportedCopies.h"

#include "gamedata/DataFileSet.h"
#include "gamedata/FormCache.h"
#include "gamedata/SectionNumbering.h"
#include "journal/Journal.h"
#include "platform/Files.h"

#include <array>
#include <exception>
#include <filesystem>
#include <system_error>

namespace skarvel {

namespace {

struct CopyRow {
    DataFileIndex file;
    std::string_view headerName; // empty: a plain copy
};

// The order in which the copies are made; each row's folder exists before the next needs it.
constexpr auto kCopyRows = std::to_array<CopyRow>({
    {kConstants, ""},
    {kShipArch, "Ship"},
    {kNewCharacter, ""},
    {kGoods, "Good"},
    {kEngineEquip, "Engine"},
    {kMiscEquip, "Power"},
});

// The path of the game's file below its data folder, spelled as on disk: as many trailing
// components of the resolved path as the relative name has.
std::filesystem::path relativeOnDisk(const std::string& resolved, std::string_view relative) {
    const std::filesystem::path full(resolved);
    std::vector<std::filesystem::path> parts;
    for (const auto& part : std::filesystem::path(relative)) {
        parts.push_back(part);
    }
    std::vector<std::filesystem::path> tail;
    std::filesystem::path rest = full;
    for (std::size_t i = 0; i < parts.size() && rest.has_filename(); ++i) {
        tail.push_back(rest.filename());
        rest = rest.parent_path();
    }
    std::filesystem::path result;
    for (auto it = tail.rbegin(); it != tail.rend(); ++it) {
        result /= *it;
    }
    return result;
}

} // namespace

namespace {

bool holdsBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error) ||
        std::filesystem::file_size(file, error) != bytes.size() || error) {
        return false;
    }
    try {
        return readFile(file.string()) == bytes;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

std::vector<std::string> makeExportedCopies(TJournal& journal, const DataFileSet& files,
                                            const std::string& base,
                                            const std::vector<std::string>& others,
                                            FormCache* forms) {
    std::vector<std::string> failed;
    const std::filesystem::path copiesRoot = std::filesystem::path(base) / "data";
    std::vector<std::pair<std::string, std::filesystem::path>> copies; // source, target
    std::vector<std::string_view> headerNames;
    for (const CopyRow& row : kCopyRows) {
        const auto file = static_cast<std::size_t>(row.file);
        const std::string& source = files.files[file];
        copies.emplace_back(source, copiesRoot / relativeOnDisk(source, kDataFileNames[file]));
        headerNames.push_back(row.headerName);
    }
    std::filesystem::path dataDir = std::filesystem::path(files.dataDir).lexically_normal();
    if (!dataDir.has_filename()) {
        dataDir = dataDir.parent_path(); // "data/" names the folder itself
    }
    for (const std::string& source : others) {
        const std::filesystem::path relative =
            std::filesystem::path(source).lexically_normal().lexically_relative(dataDir);
        if (relative.empty() || *relative.begin() == "..") {
            continue; // only files of the data folder have a place below data/
        }
        copies.emplace_back(source, copiesRoot / relative);
        headerNames.push_back({});
    }
    for (std::size_t i = 0; i < copies.size(); ++i) {
        const auto& [source, target] = copies[i];
        const CopyRow row{kConstants, headerNames[i]};
        const std::filesystem::path folder = target.parent_path();
        std::error_code error;
        if (!std::filesystem::is_directory(folder, error)) {
            std::filesystem::create_directories(folder, error);
            if (error) {
                journal.WriteFormatted("Ordner %s konnte nicht angelegt werden: %s",
                                       {folder.string(), error.message()}, JournalEntryKind::Error);
            }
        }
        try {
            std::string content = readFile(source);
            if (!row.headerName.empty()) {
                const auto plain = [&row](const std::string& raw) {
                    return withPlainHeaders(raw, row.headerName);
                };
                content = forms ? forms->formOf(source, content, plain) : plain(content);
            }
            // A copy that holds these bytes already stays: a save rewrites one or two files.
            if (!holdsBytes(target, content)) {
                writeFileAtomically(target.string(), content);
            }
        } catch (const std::exception& copyError) {
            journal.WriteFormatted("Kopie %s konnte nicht angelegt werden: %s",
                                   {target.string(), copyError.what()}, JournalEntryKind::Error);
            failed.push_back(copyError.what()); // names the copy and the system's cause
        }
    }
    return failed;
}

} // namespace skarvel
