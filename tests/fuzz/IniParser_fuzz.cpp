// Any bytes must parse, every parsed name must be found again by name, and writing one key
// (an existing one, a new one, one in a new section) must set that key and leave every
// other reachable value as it was.
#include "gamedata/IniEngine.h"
#include "platform/LineEnds.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

namespace {

using skarvel::ini::ParsedIni;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::string lowered(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

std::string address(std::string_view section, std::string_view key) {
    return lowered(section) + '\n' + lowered(key);
}

// Every value that a lookup by name can reach: first section, first key.
std::map<std::string, std::string> reachableValues(const ParsedIni& ini) {
    std::map<std::string, std::string> values;
    for (const auto& section : ini.sections()) {
        for (std::size_t i = 0; i < section.keyCount; ++i) {
            const auto& key = ini.keys()[section.firstKey + i];
            values.try_emplace(address(ini.name(section), ini.name(key)), ini.value(key));
        }
    }
    return values;
}

void checkWrite(const ParsedIni& ini, std::string_view section, std::string_view key) {
    auto expected = reachableValues(ini);
    // A key of a later section of the same name is not reachable; the write adds the key to
    // the first one, so its old value leaves the map.
    expected[address(section, key)] = "fuzzed";
    const ParsedIni changed(ini.withValue(section, key, "fuzzed"));
    check(reachableValues(changed) == expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ParsedIni ini(std::string(reinterpret_cast<const char*>(data), size));
    if (!ini.isText()) {
        check(ini.sections().empty());
        return 0;
    }

    std::size_t keys = 0;
    for (const auto& section : ini.sections()) {
        const auto* first = ini.findSection(ini.name(section));
        check(first != nullptr && first <= &section);
        for (std::size_t i = 0; i < section.keyCount; ++i) {
            const auto& key = ini.keys()[section.firstKey + i];
            check(!ini.name(key).empty());
            check(ini.value(key).size() <= size);
            if (first == &section) {
                const auto* firstKey = ini.findKey(section, ini.name(key));
                check(firstKey != nullptr && firstKey <= &key);
            }
        }
        keys += section.keyCount;
    }
    check(keys == ini.keys().size());

    // The line counters agree with each other and with the parse, whatever the line ends.
    const auto starts = skarvel::lineStartsOf(ini.bytes());
    for (const auto& key : ini.keys()) {
        const auto after = std::upper_bound(starts.begin(), starts.end(), key.nameBegin);
        check(static_cast<std::size_t>(after - starts.begin()) ==
              skarvel::lineNumberAt(ini.bytes(), key.nameBegin));
        check(after[-1] <= key.nameBegin && key.lineEnd <= (after == starts.end() ? size : *after));
    }

    if (!ini.sections().empty()) {
        const auto& section = ini.sections().front();
        if (section.keyCount > 0) {
            checkWrite(ini, ini.name(section), ini.name(ini.keys()[section.firstKey]));
        }
        checkWrite(ini, ini.name(section), "fuzz_new_key");
    }
    checkWrite(ini, "fuzz_new_section", "key");
    return 0;
}
