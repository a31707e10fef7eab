// The parse of one settings file, the lookups by name and the splicing of a value into its
// bytes. The cache of parsed files and the writes to disk are in IniCache.cpp.
#include "gamedata/IniEngine.h"

#include "gamedata/SectionHeader.h"
#include "platform/AsciiText.h"
#include "platform/LineEnds.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <utility>

namespace skarvel::ini {

namespace {

// FNV-1a over the lower-cased bytes, folded so that the low bits used by the tables mix in
// every byte.
std::uint64_t nameHash(std::string_view name, std::uint64_t seed) {
    std::uint64_t hash = 14695981039346656037ULL ^ (seed * 0x9E3779B97F4A7C15ULL);
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(lowerAscii(c));
        hash *= 1099511628211ULL;
    }
    return hash ^ (hash >> 32);
}

bool sameName(std::string_view a, std::string_view b) {
    return equalsIgnoringCase(a, b);
}

std::vector<std::uint32_t> emptyTable(std::size_t entries) {
    std::size_t size = 8;
    while (size < entries * 2) {
        size *= 2;
    }
    return std::vector<std::uint32_t>(size, 0);
}

// The slot holding the entry that matches, or the free slot where it would go.
template <typename Matches>
std::size_t probe(const std::vector<std::uint32_t>& slots, std::uint64_t hash, Matches matches) {
    const std::size_t mask = slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        if (slots[i] == 0 || matches(slots[i] - 1)) {
            return i;
        }
    }
}

const char* findChar(const std::string& text, char c, std::size_t from, std::size_t to) {
    return static_cast<const char*>(std::memchr(text.data() + from, c, to - from));
}

} // namespace

ParsedIni::ParsedIni(std::string bytes) : bytes_(std::move(bytes)) {
    parse();
}

std::uint64_t ParsedIni::Stamp::next() {
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

void ParsedIni::parse() {
    layoutStamp_ = Stamp{};
    const std::string& text = bytes_;
    if (text.find('\0') != std::string::npos) {
        isText_ = false;
        return;
    }
    // A UTF-8 byte order mark stays in the file but must not hide the first header.
    std::size_t pos = text.size() - withoutFileStartMark(text, true).size();
    while (pos < text.size()) {
        const LineWithEnd line = lineAt(text, pos);
        const std::size_t end = pos + line.text.size();
        const std::size_t next = pos + line.size();
        std::size_t first = pos;
        while (first < end && isBlank(text[first])) {
            ++first;
        }
        pos = next;
        if (first == end || text[first] == ';') {
            continue;
        }

        if (opensSection(line.text)) {
            Section section;
            const char* close = findChar(text, ']', first + 1, end);
            std::size_t nameBegin = first + 1;
            std::size_t nameEnd = close ? static_cast<std::size_t>(close - text.data()) : end;
            while (nameBegin < nameEnd && isBlank(text[nameBegin])) {
                ++nameBegin;
            }
            while (nameEnd > nameBegin && isBlank(text[nameEnd - 1])) {
                --nameEnd;
            }
            section.nameBegin = nameBegin;
            section.nameEnd = nameEnd;
            section.lineBegin = static_cast<std::size_t>(line.text.data() - text.data());
            section.lineEnd = end;
            section.lineNext = next;
            section.firstKey = keys_.size();
            sections_.push_back(section);
            continue;
        }
        if (sections_.empty()) {
            continue; // lines before the first section are not reachable
        }

        Key key;
        key.lineEnd = end;
        key.lineNext = next;
        const char* equals = findChar(text, '=', first, end);
        const char* semicolon = findChar(text, ';', first, end);
        const std::size_t commentAt =
            semicolon ? static_cast<std::size_t>(semicolon - text.data()) : end;
        std::size_t nameEnd;
        if (equals && static_cast<std::size_t>(equals - text.data()) < commentAt) {
            const std::size_t equalsAt = static_cast<std::size_t>(equals - text.data());
            key.hasEquals = true;
            nameEnd = equalsAt;
            std::size_t valueBegin = equalsAt + 1;
            while (valueBegin < commentAt && isBlank(text[valueBegin])) {
                ++valueBegin;
            }
            std::size_t valueEnd = commentAt;
            while (valueEnd > valueBegin && isBlank(text[valueEnd - 1])) {
                --valueEnd;
            }
            if (valueBegin == valueEnd) {
                // No value yet: a new one goes after "=" and at most one blank.
                valueBegin = equalsAt + 1;
                if (valueBegin < commentAt && isBlank(text[valueBegin])) {
                    ++valueBegin;
                }
                valueEnd = valueBegin;
            }
            key.valueBegin = valueBegin;
            key.valueEnd = valueEnd;
        } else {
            nameEnd = commentAt;
        }
        while (nameEnd > first && isBlank(text[nameEnd - 1])) {
            --nameEnd;
        }
        if (nameEnd == first) {
            continue; // "= value" names no key
        }
        key.nameBegin = first;
        key.nameEnd = nameEnd;
        if (!key.hasEquals) {
            key.valueBegin = key.valueEnd = nameEnd;
        }
        key.section = sections_.size() - 1;
        keys_.push_back(key);
        ++sections_.back().keyCount;
    }
    buildIndexes();
}

void ParsedIni::buildIndexes() {
    numberedAliases_.clear();
    aliasOf_.clear();
    for (const std::string_view kind : kNumberedKinds) {
        std::vector<std::size_t> plain;
        bool numbered = false;
        for (std::size_t s = 0; s < sections_.size() && !numbered; ++s) {
            if (const auto header = matchKindHeader(headerLine(sections_[s]), kind)) {
                numbered = !header->digits.empty();
                plain.push_back(s);
            }
        }
        for (std::size_t k = 0; k < plain.size() && !numbered; ++k) {
            std::string alias(kind);
            alias += std::to_string(k);
            std::transform(alias.begin(), alias.end(), alias.begin(), lowerAscii);
            aliasOf_.resize(sections_.size());
            aliasOf_[plain[k]] = alias;
            numberedAliases_.emplace(std::move(alias), plain[k]);
        }
    }

    // Entries go in in file order and a name already present is skipped: the first wins.
    sectionSlots_ = emptyTable(sections_.size());
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const std::string_view sectionName = name(sections_[s]);
        const std::size_t slot =
            probe(sectionSlots_, nameHash(sectionName, 0), [&](std::uint32_t other) {
                return sameName(name(sections_[other]), sectionName);
            });
        if (sectionSlots_[slot] == 0) {
            sectionSlots_[slot] = static_cast<std::uint32_t>(s + 1);
        }
    }
    keySlots_ = emptyTable(keys_.size());
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        const Key& key = keys_[k];
        const std::string_view keyName = name(key);
        const std::size_t slot =
            probe(keySlots_, nameHash(keyName, key.section + 1), [&](std::uint32_t other) {
                return keys_[other].section == key.section && sameName(name(keys_[other]), keyName);
            });
        if (keySlots_[slot] == 0) {
            keySlots_[slot] = static_cast<std::uint32_t>(k + 1);
        }
    }
}

const ParsedIni::Section* ParsedIni::findSection(std::string_view sectionName) const {
    if (sectionSlots_.empty()) {
        return nullptr;
    }
    const std::uint32_t slot =
        sectionSlots_[probe(sectionSlots_, nameHash(sectionName, 0), [&](std::uint32_t other) {
            return sameName(name(sections_[other]), sectionName);
        })];
    if (slot != 0) {
        return &sections_[slot - 1];
    }
    if (numberedAliases_.empty()) {
        return nullptr;
    }
    std::string lower(sectionName);
    std::transform(lower.begin(), lower.end(), lower.begin(), lowerAscii);
    const auto alias = numberedAliases_.find(lower);
    return alias == numberedAliases_.end() ? nullptr : &sections_[alias->second];
}

std::string ParsedIni::numberedName(const Section& section) const {
    const auto index = static_cast<std::size_t>(&section - sections_.data());
    if (index < aliasOf_.size() && !aliasOf_[index].empty()) {
        // The alias is kept in lower case; the kind keeps the header's spelling.
        const std::string_view kind = name(section);
        return std::string(kind) + aliasOf_[index].substr(kind.size());
    }
    return std::string(name(section));
}

const ParsedIni::Key* ParsedIni::findKey(const Section& section, std::string_view keyName) const {
    if (keySlots_.empty()) {
        return nullptr;
    }
    const auto sectionIndex = static_cast<std::size_t>(&section - sections_.data());
    const std::uint32_t slot =
        keySlots_[probe(keySlots_, nameHash(keyName, sectionIndex + 1), [&](std::uint32_t other) {
            return keys_[other].section == sectionIndex && sameName(name(keys_[other]), keyName);
        })];
    return slot == 0 ? nullptr : &keys_[slot - 1];
}

std::string_view ParsedIni::name(const Section& section) const {
    return std::string_view(bytes_).substr(section.nameBegin, section.nameEnd - section.nameBegin);
}

std::string_view ParsedIni::headerLine(const Section& section) const {
    return std::string_view(bytes_).substr(section.lineBegin, section.lineEnd - section.lineBegin);
}

std::string_view ParsedIni::lineEnding() const {
    return commonLineEnd(bytes_);
}

std::string_view ParsedIni::name(const Key& key) const {
    return std::string_view(bytes_).substr(key.nameBegin, key.nameEnd - key.nameBegin);
}

std::string ParsedIni::value(const Key& key) const {
    std::string_view text =
        std::string_view(bytes_).substr(key.valueBegin, key.valueEnd - key.valueBegin);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = text.substr(1, text.size() - 2);
    }
    return std::string(text);
}

std::shared_ptr<const ParsedIni> ParsedIni::parsedWithValue(std::string_view sectionName,
                                                            std::string_view keyName,
                                                            std::string_view value) const {
    auto result = std::make_shared<ParsedIni>(*this);
    result->assignValue(sectionName, keyName, value);
    return result;
}

void ParsedIni::assignValue(std::string_view sectionName, std::string_view keyName,
                            std::string_view value) {
    assignValueIn(findSection(sectionName), sectionName, keyName, value);
}

void ParsedIni::assignValueAt(std::size_t sectionIndex, std::string_view keyName,
                              std::string_view value) {
    const Section& section = sections_.at(sectionIndex);
    assignValueIn(&section, name(section), keyName, value);
}

void ParsedIni::assignValueOfKey(std::size_t keyIndex, std::string_view value) {
    const Key& key = keys_.at(keyIndex);
    const Section& section = sections_.at(key.section);
    // The names point into the bytes that may be replaced.
    assignValueIn(&section, std::string(name(section)), std::string(name(key)), value, &key);
}

void ParsedIni::assignValueIn(const Section* section, std::string_view sectionName,
                              std::string_view keyName, std::string_view value, const Key* which) {
    Key* key = which     ? const_cast<Key*>(which)
               : section ? const_cast<Key*>(findKey(*section, keyName))
                         : nullptr;
    // Only a value that parses back exactly as given keeps every other position's meaning.
    const bool plainReplacement = key && key->hasEquals && key->valueEnd > key->valueBegin &&
                                  !value.empty() && !isBlank(value.front()) &&
                                  !isBlank(value.back()) &&
                                  value.find(';') == std::string_view::npos;
    if (!plainReplacement) {
        // The name may point into the bytes that are about to be replaced.
        bytes_ = withValueIn(section, std::string(sectionName), keyName, value, key);
        sections_.clear();
        keys_.clear();
        sectionSlots_.clear();
        keySlots_.clear();
        parse();
        return;
    }

    if (sameName(name(*key), "nickname")) {
        layoutStamp_ = Stamp{}; // an index by nickname is out of date
    }
    const std::size_t oldEnd = key->valueEnd;
    const std::size_t oldLength = oldEnd - key->valueBegin;
    bytes_.replace(key->valueBegin, oldLength, value);
    if (value.size() == oldLength) {
        return; // nothing moves
    }
    const auto shift = [&](std::size_t& position) {
        if (position >= oldEnd) {
            position = position + value.size() - oldLength;
        }
    };
    // Sections and keys are in file order: only those from the changed key on move.
    for (std::size_t i = key->section + 1; i < sections_.size(); ++i) {
        Section& each = sections_[i];
        shift(each.lineBegin);
        shift(each.nameBegin);
        shift(each.nameEnd);
        shift(each.lineEnd);
        shift(each.lineNext);
    }
    for (std::size_t i = static_cast<std::size_t>(key - keys_.data()); i < keys_.size(); ++i) {
        Key& each = keys_[i];
        shift(each.nameBegin);
        shift(each.nameEnd);
        shift(each.valueBegin);
        shift(each.valueEnd);
        shift(each.lineEnd);
        shift(each.lineNext);
    }
}

std::string ParsedIni::withValue(std::string_view sectionName, std::string_view keyName,
                                 std::string_view value) const {
    return withValueIn(findSection(sectionName), sectionName, keyName, value);
}

std::string ParsedIni::withValueIn(const Section* section, std::string_view sectionName,
                                   std::string_view keyName, std::string_view value,
                                   const Key* which) const {
    const std::string_view text = bytes_;
    std::string result;
    result.reserve(text.size() + sectionName.size() + keyName.size() + value.size() + 16);

    if (!section) {
        const std::string_view lineEnding = this->lineEnding();
        result = text;
        if (!result.empty() && result.back() != '\r' && result.back() != '\n') {
            result += lineEnding;
        }
        result.append("[").append(sectionName).append("]").append(lineEnding);
        result.append(keyName).append(" = ").append(value).append(lineEnding);
        return result;
    }

    if (const Key* key = which ? which : findKey(*section, keyName)) {
        result.append(text.substr(0, key->valueBegin));
        if (!key->hasEquals) {
            result += '=';
        }
        result.append(value).append(text.substr(key->valueEnd));
        return result;
    }

    // A new key goes after the section's last key line, or after its header.
    std::size_t lineEnd = section->lineEnd;
    std::size_t lineNext = section->lineNext;
    if (section->keyCount > 0) {
        const Key& last = keys_[section->firstKey + section->keyCount - 1];
        lineEnd = last.lineEnd;
        lineNext = last.lineNext;
    }
    const std::string line = std::string(keyName) + " = " + std::string(value);
    const std::string_view lineEnding = this->lineEnding();
    if (lineNext == lineEnd) { // the file's last line, without a line ending
        result.append(text.substr(0, lineEnd)).append(lineEnding).append(line);
        result.append(text.substr(lineEnd));
    } else {
        result.append(text.substr(0, lineNext)).append(line).append(lineEnding);
        result.append(text.substr(lineNext));
    }
    return result;
}

bool hasSectionHeader(std::string_view bytes) {
    if (bytes.find('\0') != std::string_view::npos) {
        return false;
    }
    // The first line whose first non-blank byte is "[" opens a section, as in parse().
    std::size_t pos = bytes.size() - withoutFileStartMark(bytes, true).size();
    while (pos < bytes.size()) {
        const LineWithEnd line = lineAt(bytes, pos);
        if (opensSection(line.text)) {
            return true;
        }
        pos += line.size();
    }
    return false;
}

} // namespace skarvel::ini
