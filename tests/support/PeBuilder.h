#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace skarvel::test {

struct PeOptions {
    bool pe32Plus = false;
    // Every block gets a second language after the first, whose strings all read "wrong".
    bool secondLanguage = false;
};

// A DLL without code: headers, one ".rsrc" section holding one string table, laid out as a
// resource compiler lays it out. The section ends the file without padding, so cutting the
// file anywhere loses bytes the reader needs.
struct PeImage {
    std::string bytes;
    // File offsets of the parts that tests damage.
    std::size_t sectionHeader = 0;
    std::size_t resources = 0;          // the type directory
    std::size_t firstLanguageEntry = 0; // of the first block
    std::size_t firstDataEntry = 0;
    std::size_t firstBlock = 0; // the first block's strings
};

// strings: string number -> text in UTF-16.
PeImage buildPe(const std::map<std::uint16_t, std::u16string>& strings,
                const PeOptions& options = {});

} // namespace skarvel::test
