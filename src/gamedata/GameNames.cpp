#include "gamedata/GameNames.h"

#include "gamedata/GameFileRead.h"
#include "journal/Journal.h"
#include "platform/Files.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <sys/stat.h>

namespace skarvel {

namespace {

constexpr std::string_view kUnreadable = "Names from [%s] not readable - %s";

bool isDllKey(std::string_view name) {
    return name.size() == 3 && std::equal(name.begin(), name.end(), "dll", [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
           });
}

struct Listed {
    std::string path;    // empty when refused
    std::string named;   // as the list names it, when refused
    std::string refusal; // why
};

// The files of EXE/resources.dll and the "DLL =" lines, in order; paths that leave the game
// folder are refused, and so is the list when freelancer.ini cannot be read.
std::vector<Listed> listedFiles(const GameNames::Warn& warn, const GameFolderPaths& folder) {
    const auto listed = [&](std::string_view name) {
        const GameFolderPaths::Resolved resolved = folder.resolve("EXE", name);
        // A missing file is read as before and says "file not found" with its path.
        if (resolved.found() || resolved.refusal == "is missing") {
            return Listed{resolved.path, {}, {}};
        }
        return Listed{
            {}, resolved.path.empty() ? std::string(name) : resolved.path, resolved.refusal};
    };
    std::vector<Listed> files{listed("resources.dll")};
    const GameFileRead settings = readGameFile(folder, "EXE", "freelancer.ini");
    if (!settings.ok()) {
        if (settings.refusal != "is missing") {
            warn(settings.path, settings.refusal);
        }
        return files;
    }
    const auto& ini = *settings.ini;
    if (const auto* section = ini.findSection("Resources")) {
        for (std::size_t i = 0; i < section->keyCount; ++i) {
            const auto& key = ini.keys()[section->firstKey + i];
            if (isDllKey(ini.name(key))) {
                files.push_back(listed(ini.value(key)));
            }
        }
    }
    return files;
}

} // namespace

GameNames::Read GameNames::read(const std::string& path) const {
    Read read;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        read.error = "file not found";
        return read;
    }
    read.size = status.st_size;
    read.changed = std::int64_t{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec;
    const auto cached = cache_.find(path);
    if (cached != cache_.end() && cached->second.size == read.size &&
        cached->second.changed == read.changed) {
        return cached->second;
    }
    try {
        read.strings = std::make_shared<const PeStringTable>(
            readPeStringTable(readRegularFile(path, kDataFileSizeCap)));
    } catch (const PeFormatError& error) {
        read.error = error.what();
    } catch (const std::exception& error) {
        // "<path> is larger than the 64 MB cap", "... cannot be read: <cause>": the cause alone.
        read.error =
            std::string(error.what()).substr(std::min(path.size() + 1, std::strlen(error.what())));
    }
    return read;
}

void GameNames::load(TJournal& journal, const std::string& gameDirectory) {
    load(gameDirectory, [&journal](const std::string& path, const std::string& cause) {
        journal.WriteFormatted(kUnreadable, {path, cause}, JournalEntryKind::Warning);
    });
}

void GameNames::load(const std::string& gameDirectory, const Warn& warn) {
    load(GameFolderPaths(gameDirectory), warn);
}

void GameNames::load(const GameFolderPaths& folder, const Warn& warn) {
    std::map<std::string, Read> kept;
    files_.clear();
    for (const Listed& file : listedFiles(warn, folder)) {
        if (file.path.empty()) {
            warn(file.named, file.refusal);
            files_.push_back(nullptr);
            continue;
        }
        auto found = kept.find(file.path);
        if (found == kept.end()) {
            found = kept.emplace(file.path, read(file.path)).first;
            if (!found->second.strings) {
                warn(file.path, found->second.error);
            }
        }
        files_.push_back(found->second.strings);
    }
    cache_ = std::move(kept);
}

bool GameNames::hasNames() const {
    return std::ranges::any_of(files_, [](const auto& file) { return file && !file->empty(); });
}

std::string_view GameNames::text(std::string_view idsName) const {
    std::uint32_t number = 0;
    const char* end = idsName.data() + idsName.size();
    const auto [stop, error] = std::from_chars(idsName.data(), end, number);
    if (error != std::errc{} || stop != end) {
        return {};
    }
    const std::size_t file = number >> 16;
    if (file >= files_.size() || !files_[file]) {
        return {};
    }
    const auto found = files_[file]->find(static_cast<std::uint16_t>(number & 0xFFFF));
    return found == files_[file]->end() ? std::string_view{} : std::string_view(found->second);
}

} // namespace skarvel
