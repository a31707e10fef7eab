#include "gamedata/UserIniFile.h"

#include "gamedata/IniEngine.h"
#include "journal/Journal.h"
#include "platform/Files.h"

namespace skarvel {

TUserIniFile::TUserIniFile(std::string path, TJournal& journal)
    : path_(std::move(path)), journal_(journal) {
    journal_.WriteFormatted("TUserIniFile_CREATE [ %s ]", {path_}, JournalEntryKind::System);
}

TUserIniFile::~TUserIniFile() {
    try {
        Flush();
    } catch (...) {
        // The data was written already; only its durability is in doubt.
    }
}

std::string TUserIniFile::ReadValue(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
    const auto ini = ini::currentIni(path_);
    if (ini) {
        if (const auto* found = ini->findSection(section)) {
            if (const auto* entry = ini->findKey(*found, key)) {
                return ini->value(*entry);
            }
        }
    }
    return std::string(defaultValue);
}

void TUserIniFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    if (value.empty()) {
        return;
    }
    ini::writeIniValue(path_, section, key, value);
    dirty_ = true;
    journal_.WriteFormatted("TUserIniFile_WRITE_STRING - [%s] %s = %s", {section, key, value},
                            JournalEntryKind::Data);
}

void TUserIniFile::WriteStringAt(std::size_t sectionIndex, std::string_view sectionName,
                                 std::string_view key, std::string_view value) {
    if (value.empty()) {
        return;
    }
    ini::writeIniValueAt(path_, sectionIndex, sectionName, key, value);
    dirty_ = true;
    journal_.WriteFormatted("TUserIniFile_WRITE_STRING - [%s] %s = %s", {sectionName, key, value},
                            JournalEntryKind::Data);
}

void TUserIniFile::WriteStringOfKey(std::size_t sectionIndex, std::string_view sectionName,
                                    std::size_t keyIndex, std::string_view key,
                                    std::string_view value) {
    if (value.empty()) {
        return;
    }
    ini::writeIniValueOfKey(path_, sectionIndex, sectionName, keyIndex, key, value);
    dirty_ = true;
    journal_.WriteFormatted("TUserIniFile_WRITE_STRING - [%s] %s = %s", {sectionName, key, value},
                            JournalEntryKind::Data);
}

std::vector<std::string> TUserIniFile::ListSections() const {
    std::vector<std::string> names;
    if (const auto ini = ini::currentIni(path_)) {
        names.reserve(ini->sections().size());
        for (const auto& section : ini->sections()) {
            names.emplace_back(ini->name(section));
        }
    }
    return names;
}

bool TUserIniFile::HasSections() const {
    return ini::hasSection(path_);
}

std::vector<std::string> TUserIniFile::ListKeys(std::string_view section) const {
    std::vector<std::string> names;
    const auto ini = ini::currentIni(path_);
    if (!ini) {
        return names;
    }
    if (const auto* found = ini->findSection(section)) {
        names.reserve(found->keyCount);
        for (std::size_t i = 0; i < found->keyCount; ++i) {
            names.emplace_back(ini->name(ini->keys()[found->firstKey + i]));
        }
    }
    return names;
}

void TUserIniFile::Flush() {
    if (dirty_) {
        syncFile(path_);
        dirty_ = false;
    }
}

} // namespace skarvel
