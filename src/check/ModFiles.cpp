#include "check/ModFiles.h"

#include "check/ModIndex.h"
#include "gamedata/GameFileRead.h"
#include "platform/AsciiText.h"
#include "platform/LineEnds.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <utility>

namespace skarvel::check {

namespace {

constexpr std::string_view kFileRule = "file";
constexpr std::string_view kMissing = "is missing";

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

class Reader {
public:
    explicit Reader(std::shared_ptr<const GameFolderPaths> folder) {
        mod_.gameFolder = folder->root();
        mod_.folder = std::move(folder);
    }

    // Reads the file unless read before. A file that cannot be read or parsed is a problem
    // at the file and line that named it, or at the file itself when no line names it (a
    // missing file is then only not there).
    void add(std::string_view base, std::string_view named, FileRole role,
             const std::string& namedIn, int line, const std::string& system = {}) {
        // Repeated lines name the same file: resolved and read once.
        if (!named_.insert(lowered(std::string(base) + "/" + withSlashes(named))).second) {
            return;
        }
        GameFileRead read = readGameFile(*mod_.folder, base, named);
        if (read.ok()) {
            if (read_.insert(read.shown).second) {
                mod_.files.push_back(
                    {read.shown, role, read.ini, lineStartsOf(read.ini->bytes()), system});
            }
            return;
        }
        const std::string what =
            (read.shown.empty() ? std::string(named) : read.shown) + " " + read.refusal;
        if (!namedIn.empty()) {
            mod_.fileProblems.push_back({Severity::Error, kFileRule, namedIn, line, {}, what});
            mod_.unread.push_back({role, system, read.shown, namedIn, line});
        } else if (read.refusal != kMissing) {
            mod_.fileProblems.push_back({Severity::Error, kFileRule, read.shown, 0, {}, what});
        }
    }

    // The file of each [System] of the universe files, relative to the folder of the universe
    // file that names it.
    void addSystemFiles() {
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
                add(folder, universe.ini->value(*file), FileRole::System, universe.shown,
                    universe.lineOf(file->nameBegin), universe.ini->value(*nickname));
            }
        }
    }

    const std::shared_ptr<const GameFolderPaths>& folder() const { return mod_.folder; }
    ModFiles take() { return std::move(mod_); }
    void markNamed() { mod_.namedByFreelancerIni = true; }

private:
    static std::string withSlashes(std::string_view path) {
        std::string slashed(path);
        std::replace(slashed.begin(), slashed.end(), '\\', '/');
        return slashed;
    }

    ModFiles mod_;
    std::unordered_set<std::string> named_;
    std::unordered_set<std::string> read_;
};

// The game folder itself must be a folder this process may list.
void checkGameFolder(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        throw ReadFault("no game folder at " + folder);
    }
    if (::access(folder.c_str(), R_OK | X_OK) != 0) {
        throw ReadFault(folder + " cannot be read: " + std::strerror(errno));
    }
}

} // namespace

int SourceFile::lineOf(std::size_t offset) const {
    const auto after = std::upper_bound(lineStarts.begin(), lineStarts.end(), offset);
    return static_cast<int>(after - lineStarts.begin());
}

bool ModFiles::has(FileRole role) const {
    return std::ranges::any_of(files, [role](const SourceFile& file) { return file.role == role; });
}

ModFiles readModFiles(const std::string& folder) {
    checkGameFolder(folder);
    Reader reader(std::make_shared<const GameFolderPaths>(folder));
    const GameFileRead settings = readGameFile(*reader.folder(), "EXE", "freelancer.ini");
    if (settings.ok()) {
        reader.markNamed();
        const auto& ini = *settings.ini;
        const std::vector<std::size_t> lineStarts = lineStartsOf(ini.bytes());
        const SourceFile shownSettings{
            settings.shown, FileRole::Equipment, settings.ini, lineStarts, {}};
        for (const auto& section : ini.sections()) {
            if (!equalsIgnoringCase(ini.name(section), "Data")) {
                continue;
            }
            for (std::size_t k = section.firstKey; k < section.firstKey + section.keyCount; ++k) {
                const auto& key = ini.keys()[k];
                const auto role = std::ranges::find_if(kDataKeys, [&](const RoleKey& known) {
                    return equalsIgnoringCase(ini.name(key), known.key);
                });
                const std::string value = ini.value(key);
                if (role != kDataKeys.end() && !value.empty()) {
                    reader.add("DATA", value, role->role, shownSettings.shown,
                               shownSettings.lineOf(key.nameBegin));
                }
            }
        }
    } else if (settings.refusal == kMissing && reader.folder()->resolve("", "DATA").found()) {
        for (const auto& [name, role] : kFallbackFiles) {
            reader.add("DATA", name, role, {}, 0);
        }
    } else {
        // Any other file in its place would give false problems: the check stops.
        throw ReadFault(
            (settings.shown.empty() ? std::string("EXE/freelancer.ini") : settings.shown) + " " +
            settings.refusal);
    }
    reader.add("DATA", kCharacterFile, FileRole::Character, {}, 0);
    reader.add("DATA", kInitialWorldFile, FileRole::InitialWorld, {}, 0);
    reader.addSystemFiles();
    return reader.take();
}

} // namespace skarvel::check
