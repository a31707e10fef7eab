#include "usage/WhereUsed.h"

#include "platform/AsciiText.h"
#include "usage/ValueItems.h"

#include <limits>
#include <stdexcept>

namespace skarvel::usage {

namespace {

struct Found {
    std::uint32_t name;
    std::uint32_t file;
    std::uint32_t key;
    std::uint32_t line;
};

std::uint32_t narrow(std::size_t value) {
    if (value > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("a mod too large for the usage index");
    }
    return static_cast<std::uint32_t>(value);
}

// The whole line holding the key: back from its name to the line's start, which follows a CR
// or LF (the lines of lineAt hold neither).
std::string_view lineOf(const ini::ParsedIni& ini, const ini::ParsedIni::Key& key) {
    const std::string_view bytes = ini.bytes();
    std::size_t start = key.nameBegin;
    while (start > 0 && bytes[start - 1] != '\n' && bytes[start - 1] != '\r') {
        --start;
    }
    return bytes.substr(start, key.lineEnd - start);
}

} // namespace

std::size_t UsageIndex::CaseBlindHash::operator()(std::string_view name) const {
    std::uint64_t hash = 14695981039346656037ULL; // FNV-1a
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(lowerAscii(c))) * 1099511628211ULL;
    }
    return static_cast<std::size_t>(hash);
}

bool UsageIndex::CaseBlindEqual::operator()(std::string_view a, std::string_view b) const {
    return equalsIgnoringCase(a, b);
}

UsageIndex UsageIndex::build(const check::ModFiles& mod) {
    UsageIndex index;
    std::size_t keyLines = 0;
    for (const check::SourceFile& file : mod.files) {
        keyLines += file.ini->keys().size();
    }
    // Most key lines name one thing; a name is used a few times on average.
    std::vector<Found> found;
    found.reserve(keyLines + keyLines / 4);
    index.names_.reserve(keyLines / 3);

    index.files_.reserve(mod.files.size());
    for (const check::SourceFile& source : mod.files) {
        const std::uint32_t fileNumber = narrow(index.files_.size());
        index.files_.push_back({source.shown, source.role, source.ini});
        const ini::ParsedIni& ini = *source.ini;
        const std::string_view bytes = ini.bytes();
        const auto& keys = ini.keys();
        const auto& starts = source.lineStarts;
        std::size_t lineAt = 0; // index into starts of the current key's line
        for (std::size_t k = 0; k < keys.size(); ++k) {
            const auto& key = keys[k];
            if (key.valueBegin == key.valueEnd) {
                continue;
            }
            while (lineAt + 1 < starts.size() && starts[lineAt + 1] <= key.nameBegin) {
                ++lineAt;
            }
            const std::size_t lineFirst = found.size();
            const std::uint32_t keyNumber = narrow(k);
            const std::uint32_t lineNumber = narrow(lineAt + 1);
            forEachNamedItem(
                bytes.substr(key.valueBegin, key.valueEnd - key.valueBegin),
                [&](std::string_view item) {
                    const std::uint32_t name =
                        index.names_.try_emplace(item, narrow(index.names_.size())).first->second;
                    for (std::size_t f = lineFirst; f < found.size(); ++f) {
                        if (found[f].name == name) {
                            return; // the line names it already
                        }
                    }
                    found.push_back({name, fileNumber, keyNumber, lineNumber});
                });
        }
    }

    // Grouped by name with a counting sort, which keeps the file and line order in each group.
    index.firstRef_.assign(index.names_.size() + 1, 0);
    for (const Found& use : found) {
        ++index.firstRef_[use.name + 1];
    }
    for (std::size_t n = 1; n < index.firstRef_.size(); ++n) {
        index.firstRef_[n] += index.firstRef_[n - 1];
    }
    std::vector<std::uint32_t> next(index.firstRef_.begin(), index.firstRef_.end() - 1);
    index.refs_.resize(found.size());
    for (const Found& use : found) {
        index.refs_[next[use.name]++] = {use.file, use.key, use.line};
    }
    return index;
}

std::vector<Use> UsageIndex::uses(std::string_view nickname) const {
    std::vector<Use> result;
    const auto name = names_.find(nickname);
    if (name == names_.end()) {
        return result;
    }
    const std::uint32_t begin = firstRef_[name->second];
    const std::uint32_t end = firstRef_[name->second + 1];
    result.reserve(end - begin);
    for (std::uint32_t r = begin; r < end; ++r) {
        const Ref& ref = refs_[r];
        const File& file = files_[ref.file];
        const ini::ParsedIni& ini = *file.ini;
        const auto& key = ini.keys()[ref.key];
        const auto& section = ini.sections()[key.section];
        const auto* nicknameKey = ini.findKey(section, "nickname");
        Use use;
        use.file = file.shown;
        use.role = file.role;
        use.line = static_cast<int>(ref.line);
        use.section = ini.name(section);
        use.sectionNickname = nicknameKey ? ini.value(*nicknameKey) : std::string();
        use.key = ini.name(key);
        use.text = lineOf(ini, key);
        use.definition = equalsIgnoringCase(use.key, "nickname");
        result.push_back(std::move(use));
    }
    return result;
}

} // namespace skarvel::usage
