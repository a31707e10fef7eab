#include "check/ModFiles.h"

#include "BiniFormat.h"
#include "gamedata/GameFileRead.h"
#include "platform/AsciiText.h"
#include "platform/CaseInsensitivePath.h"
#include "platform/Files.h"

#include <algorithm>
#include <array>
#include <utility>

namespace skarvel::check {

namespace {

constexpr std::string_view kFileRule = "file";

struct RoleKey {
    std::string_view key;
    FileRole role;
};
constexpr auto kDataKeys = std::to_array<RoleKey>({{"equipment", FileRole::Equipment},
                                                   {"ships", FileRole::Ships},
                                                   {"goods", FileRole::Goods},
                                                   {"markets", FileRole::Markets},
                                                   {"universe", FileRole::Universe},
                                                   {"loadouts", FileRole::Loadouts},
                                                   {"solar", FileRole::Solar},
                                                   {"npcships", FileRole::NpcShips}});

// The editor's own files, read when the game has no freelancer.ini (constants.ini has no rule).
constexpr auto kFallbackFiles = std::to_array<std::pair<std::string_view, FileRole>>(
    {{"Equipment/misc_equip.ini", FileRole::Equipment},
     {"Equipment/engine_equip.ini", FileRole::Equipment},
     {"Equipment/goods.ini", FileRole::Goods},
     {"Ships/shiparch.ini", FileRole::Ships}});
constexpr std::string_view kCharacterFile = "Characters/newcharacter.ini";
constexpr std::string_view kInitialWorldFile = "initialworld.ini";

std::vector<std::size_t> lineStartsOf(const std::string& bytes) {
    std::vector<std::size_t> starts{0};
    for (std::size_t at = bytes.find('\n'); at != std::string::npos;
         at = bytes.find('\n', at + 1)) {
        starts.push_back(at + 1);
    }
    return starts;
}

// The parse of a file, a compressed one through the converter in memory; the cause when
// it cannot be had.
std::shared_ptr<const ini::ParsedIni> parsedFile(const std::string& path, std::string& cause) {
    if (!fileExists(path)) {
        cause = "missing";
        return nullptr;
    }
    auto parsed = ini::currentIni(path);
    if (!parsed) {
        cause = "not readable";
        return nullptr;
    }
    if (parsed->bytes().starts_with("BINI")) {
        try {
            return std::make_shared<const ini::ParsedIni>(bini::toText(parsed->bytes()));
        } catch (const std::exception& error) {
            cause = std::string("a damaged compressed file: ") + error.what();
            return nullptr;
        }
    }
    if (!parsed->isText()) {
        cause = "not a text file";
        return nullptr;
    }
    return parsed;
}

std::string withSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

class Reader {
public:
    explicit Reader(std::string gameFolder) { mod_.gameFolder = std::move(gameFolder); }

    std::string shown(const std::string& path) const {
        return path.starts_with(mod_.gameFolder) ? path.substr(mod_.gameFolder.size()) : path;
    }

    // Reads the file unless read before; the problem, when there is one, goes to the
    // file and line that named it.
    void add(const std::string& path, FileRole role, const std::string& namedIn, int line,
             const std::string& system = {}) {
        const bool seen = std::ranges::any_of(
            mod_.files, [&](const SourceFile& file) { return file.shown == shown(path); });
        if (seen) {
            return;
        }
        std::string cause;
        auto parsed = parsedFile(path, cause);
        if (!parsed) {
            if (!namedIn.empty()) {
                mod_.fileProblems.push_back(
                    {Severity::Error, kFileRule, namedIn, line, {}, shown(path) + " is " + cause});
                mod_.unread.push_back({role, system, shown(path), namedIn, line});
            }
            return;
        }
        mod_.files.push_back({shown(path), role, parsed, lineStartsOf(parsed->bytes()), system});
    }

    // A file read by the shared reader; its refusal, when there is one, goes to the file and
    // line that named it.
    void addRead(const GameFileRead& read, std::string_view named, FileRole role,
                 const std::string& namedIn, int line, const std::string& system) {
        const std::string what = read.shown.empty() ? std::string(named) : read.shown;
        if (std::ranges::any_of(mod_.files,
                                [&](const SourceFile& file) { return file.shown == what; })) {
            return;
        }
        if (!read.ok()) {
            mod_.fileProblems.push_back(
                {Severity::Error, kFileRule, namedIn, line, {}, what + " " + read.refusal});
            mod_.unread.push_back({role, system, what, namedIn, line});
            return;
        }
        mod_.files.push_back({what, role, read.ini, lineStartsOf(read.ini->bytes()), system});
    }

    // The file of each [System] of the universe files, relative to the folder of the universe
    // file that names it.
    void addSystemFiles() {
        const GameFolderPaths paths(mod_.gameFolder);
        for (std::size_t i = 0; i < mod_.files.size(); ++i) {
            if (mod_.files[i].role != FileRole::Universe) {
                continue;
            }
            const SourceFile universe = mod_.files[i];
            const std::string folder = universe.shown.substr(0, universe.shown.rfind('/') + 1);
            for (const auto& section : universe.ini->sections()) {
                const auto* file = universe.ini->findKey(section, "file");
                const auto* nickname = universe.ini->findKey(section, "nickname");
                if (!equalsIgnoringCase(universe.ini->name(section), "System") || !file ||
                    !nickname || universe.ini->value(*file).empty()) {
                    continue;
                }
                const std::string named = universe.ini->value(*file);
                addRead(readGameFile(paths, folder, named), named, FileRole::System, universe.shown,
                        universe.lineOf(file->nameBegin), universe.ini->value(*nickname));
            }
        }
    }

    ModFiles take() { return std::move(mod_); }
    const std::string& gameFolder() const { return mod_.gameFolder; }
    void markNamed() { mod_.namedByFreelancerIni = true; }

private:
    ModFiles mod_;
};

} // namespace

int SourceFile::lineOf(std::size_t offset) const {
    const auto after = std::upper_bound(lineStarts.begin(), lineStarts.end(), offset);
    return static_cast<int>(after - lineStarts.begin());
}

bool ModFiles::has(FileRole role) const {
    return std::ranges::any_of(files, [role](const SourceFile& file) { return file.role == role; });
}

ModFiles readModFiles(const std::string& folder) {
    if (!directoryExists(folder)) {
        throw ReadFault("no game folder at " + folder);
    }
    std::string game = resolveCaseInsensitive(folder);
    if (!game.ends_with('/')) {
        game += '/';
    }
    Reader reader(game);
    const std::string dataFolder = resolveCaseInsensitive(game + "DATA") + "/";
    const std::string freelancerIni = resolveCaseInsensitive(game + "EXE/freelancer.ini");
    std::string cause;
    const auto settings = parsedFile(freelancerIni, cause);
    if (settings) {
        reader.markNamed();
        SourceFile shownSettings{reader.shown(freelancerIni),
                                 FileRole::Equipment,
                                 settings,
                                 lineStartsOf(settings->bytes()),
                                 {}};
        for (const auto& section : settings->sections()) {
            if (!equalsIgnoringCase(settings->name(section), "Data")) {
                continue;
            }
            for (std::size_t k = section.firstKey; k < section.firstKey + section.keyCount; ++k) {
                const auto& key = settings->keys()[k];
                const auto role = std::ranges::find_if(kDataKeys, [&](const RoleKey& known) {
                    return equalsIgnoringCase(settings->name(key), known.key);
                });
                const std::string value = settings->value(key);
                if (role != kDataKeys.end() && !value.empty()) {
                    reader.add(resolveCaseInsensitive(dataFolder + withSlashes(value)), role->role,
                               shownSettings.shown, shownSettings.lineOf(key.nameBegin));
                }
            }
        }
    } else if (cause == "missing" && directoryExists(dataFolder)) {
        for (const auto& [name, role] : kFallbackFiles) {
            reader.add(resolveCaseInsensitive(dataFolder + std::string(name)), role, {}, 0);
        }
    } else {
        throw ReadFault(reader.shown(freelancerIni) + " is " + cause);
    }
    reader.add(resolveCaseInsensitive(dataFolder + std::string(kCharacterFile)),
               FileRole::Character, {}, 0);
    reader.add(resolveCaseInsensitive(dataFolder + std::string(kInitialWorldFile)),
               FileRole::InitialWorld, {}, 0);
    reader.addSystemFiles();
    return reader.take();
}

} // namespace skarvel::check
