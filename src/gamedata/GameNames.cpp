#include "gamedata/GameNames.h"

#include "gamedata/IniEngine.h"
#include "journal/Journal.h"
#include "platform/CaseInsensitivePath.h"
#include "platform/Files.h"

#include <algorithm>
#include <charconv>
#include <sys/stat.h>

namespace skarvel {

namespace {

constexpr std::string_view kUnreadable = "Names from [%s] not readable - %s";

bool isDllKey(std::string_view name) {
    return name.size() == 3 && std::equal(name.begin(), name.end(), "dll", [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
           });
}

// The files of the "DLL =" lines, in order; none when there is no freelancer.ini.
std::vector<std::string> listedFiles(const GameNames::Warn& warn, const std::string& exeFolder) {
    const std::string path = resolveCaseInsensitive(exeFolder + "freelancer.ini");
    const auto ini = ini::currentIni(path);
    if (!ini) {
        return {};
    }
    if (!ini->isText()) {
        warn(path, "not a text file");
        return {};
    }
    std::vector<std::string> files;
    if (const auto* section = ini->findSection("Resources")) {
        for (std::size_t i = 0; i < section->keyCount; ++i) {
            const auto& key = ini->keys()[section->firstKey + i];
            if (isDllKey(ini->name(key))) {
                std::string name = ini->value(key);
                std::replace(name.begin(), name.end(), '\\', '/');
                files.push_back(resolveCaseInsensitive(exeFolder + name));
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
        read.strings = std::make_shared<const PeStringTable>(readPeStringTable(readFile(path)));
    } catch (const PeFormatError& error) {
        read.error = error.what();
    } catch (const std::exception&) {
        read.error = "file not readable";
    }
    return read;
}

void GameNames::load(TJournal& journal, const std::string& gameDirectory) {
    load(gameDirectory, [&journal](const std::string& path, const std::string& cause) {
        journal.WriteFormatted(kUnreadable, {path, cause}, JournalEntryKind::Warning);
    });
}

void GameNames::load(const std::string& gameDirectory, const Warn& warn) {
    const std::string exeFolder = resolveCaseInsensitive(gameDirectory + "EXE") + "/";
    std::vector<std::string> paths{resolveCaseInsensitive(exeFolder + "resources.dll")};
    for (std::string& path : listedFiles(warn, exeFolder)) {
        paths.push_back(std::move(path));
    }

    std::map<std::string, Read> kept;
    files_.clear();
    for (const std::string& path : paths) {
        auto found = kept.find(path);
        if (found == kept.end()) {
            found = kept.emplace(path, read(path)).first;
            if (!found->second.strings) {
                warn(path, found->second.error);
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
