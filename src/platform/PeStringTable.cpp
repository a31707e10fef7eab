#include "platform/PeStringTable.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <bitset>
#include <vector>

namespace skarvel {

namespace {

constexpr std::uint32_t kStringTableType = 6;
constexpr std::uint32_t kHighBit = 0x80000000u; // a name (not an id), or a subdirectory
constexpr std::uint32_t kLastBlock = 4096;      // 65536 strings in blocks of 16

[[noreturn]] void damaged(const char* what) {
    throw PeFormatError(what);
}

// Little-endian reads that throw instead of reading past the end.
class Bytes {
public:
    explicit Bytes(std::string_view bytes) : bytes_(bytes) {}

    bool fits(std::uint64_t offset, std::uint64_t length) const {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    std::string_view at(std::uint64_t offset, std::uint64_t length, const char* what) const {
        if (!fits(offset, length)) {
            damaged(what);
        }
        return bytes_.substr(offset, length);
    }
    std::uint16_t u16(std::uint64_t offset, const char* what) const {
        const auto b = at(offset, 2, what);
        return static_cast<std::uint16_t>(byte(b[0]) | byte(b[1]) << 8);
    }
    std::uint32_t u32(std::uint64_t offset, const char* what) const {
        const auto b = at(offset, 4, what);
        return byte(b[0]) | byte(b[1]) << 8 | byte(b[2]) << 16 | byte(b[3]) << 24;
    }

private:
    static std::uint32_t byte(char c) { return static_cast<unsigned char>(c); }
    std::string_view bytes_;
};

struct Section {
    std::uint64_t address = 0; // RVA
    std::uint64_t size = 0;    // of the part that lies in the file
    std::uint64_t offset = 0;  // in the file
};

// The file's bytes behind an RVA range; the range must lie in one section's raw data.
std::string_view mapped(const Bytes& file, const std::vector<Section>& sections,
                        std::uint64_t address, std::uint64_t length, const char* what) {
    for (const Section& section : sections) {
        if (address >= section.address && address - section.address < section.size) {
            const std::uint64_t into = address - section.address;
            if (length > section.size - into) {
                damaged(what);
            }
            return file.at(section.offset + into, length, what);
        }
    }
    damaged(what);
}

// UTF-16LE to UTF-8; half a surrogate pair without its other half becomes U+FFFD.
std::string utf8(std::string_view utf16) {
    const auto unitAt = [utf16](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(utf16[i]) |
                                     static_cast<unsigned char>(utf16[i + 1]) << 8);
    };
    std::string text;
    text.reserve(utf16.size());
    for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < utf16.size()) {
            const char32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                appendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        appendUtf8(text, unit);
    }
    return text;
}

// One block: 16 strings, each a 16-bit length and that many UTF-16LE code units.
void readBlock(std::string_view data, std::uint32_t block, PeStringTable& table) {
    const Bytes bytes(data);
    std::uint64_t pos = 0;
    for (std::uint32_t index = 0; index < 16; ++index) {
        const std::uint16_t length = bytes.u16(pos, "string block cut short");
        const auto text = bytes.at(pos + 2, std::uint64_t{length} * 2, "string block cut short");
        pos += 2 + text.size();
        if (length > 0) {
            table.emplace(static_cast<std::uint16_t>((block - 1) * 16 + index), utf8(text));
        }
    }
}

struct DirectoryEntry {
    std::uint32_t name;
    std::uint32_t target;
};

// The entries of a resource directory at offset within the resource section.
std::vector<DirectoryEntry> directory(const Bytes& tree, std::uint64_t offset) {
    constexpr const char* kOut = "resource directory out of bounds";
    const std::uint64_t count =
        std::uint64_t{tree.u16(offset + 12, kOut)} + tree.u16(offset + 14, kOut);
    tree.at(offset + 16, count * 8, kOut);
    std::vector<DirectoryEntry> entries;
    entries.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t at = offset + 16 + i * 8;
        entries.push_back({tree.u32(at, kOut), tree.u32(at + 4, kOut)});
    }
    return entries;
}

std::uint64_t subdirectory(const DirectoryEntry& entry) {
    if (!(entry.target & kHighBit)) {
        damaged("resource directory without its subdirectory");
    }
    return entry.target & ~kHighBit;
}

} // namespace

PeStringTable readPeStringTable(std::string_view image) {
    const Bytes file(image);
    if (file.u16(0, "not a PE file") != 0x5A4D) {
        damaged("not a PE file");
    }
    const std::uint64_t signature = file.u32(0x3C, "not a PE file");
    if (file.u32(signature, "not a PE file") != 0x00004550) {
        damaged("not a PE file");
    }
    const std::uint64_t header = signature + 4;
    const std::uint16_t sectionCount = file.u16(header + 2, "PE header cut short");
    const std::uint16_t optionalSize = file.u16(header + 16, "PE header cut short");
    const std::uint64_t optional = header + 20;
    file.at(optional, optionalSize, "optional header cut short");

    std::uint64_t directoryCountAt = 92; // PE32
    switch (file.u16(optional, "optional header cut short")) {
    case 0x10B:
        break;
    case 0x20B: // PE32+
        directoryCountAt = 108;
        break;
    default:
        damaged("unknown optional header");
    }
    const std::uint64_t directories = directoryCountAt + 4;
    if (directories > optionalSize) {
        damaged("optional header cut short");
    }
    if (file.u32(optional + directoryCountAt, "optional header cut short") <= 2) {
        return {}; // no resource directory
    }
    if (directories + 3 * 8 > optionalSize) {
        damaged("optional header cut short");
    }
    const std::uint32_t resourceAddress =
        file.u32(optional + directories + 16, "optional header cut short");
    const std::uint32_t resourceSize =
        file.u32(optional + directories + 20, "optional header cut short");
    if (resourceAddress == 0 || resourceSize == 0) {
        return {};
    }

    std::vector<Section> sections;
    const std::uint64_t table = optional + optionalSize;
    constexpr const char* kCut = "section table cut short";
    file.at(table, std::uint64_t{sectionCount} * 40, kCut);
    for (std::uint64_t i = 0; i < sectionCount; ++i) {
        const std::uint64_t at = table + i * 40;
        const std::uint32_t virtualSize = file.u32(at + 8, kCut);
        const std::uint32_t rawSize = file.u32(at + 16, kCut);
        // Raw data beyond the virtual size is padding; a virtual size of 0 means the raw size.
        sections.push_back({file.u32(at + 12, kCut),
                            virtualSize == 0 ? rawSize : std::min(virtualSize, rawSize),
                            file.u32(at + 20, kCut)});
    }

    const Bytes tree(
        mapped(file, sections, resourceAddress, resourceSize, "resource section out of bounds"));
    PeStringTable strings;
    for (const DirectoryEntry& type : directory(tree, 0)) {
        if (type.name != kStringTableType) {
            continue; // named types have the high bit set and never match
        }
        std::bitset<kLastBlock + 1> seen;
        for (const DirectoryEntry& block : directory(tree, subdirectory(type))) {
            if (block.name == 0 || block.name > kLastBlock || seen[block.name]) {
                continue;
            }
            seen[block.name] = true;
            const auto languages = directory(tree, subdirectory(block));
            if (languages.empty()) {
                continue;
            }
            if (languages.front().target & kHighBit) {
                damaged("string block without data");
            }
            const std::uint64_t entry = languages.front().target;
            const std::uint32_t address = tree.u32(entry, "resource data entry out of bounds");
            const std::uint32_t size = tree.u32(entry + 4, "resource data entry out of bounds");
            readBlock(mapped(file, sections, address, size, "string block out of bounds"),
                      block.name, strings);
        }
        break;
    }
    return strings;
}

} // namespace skarvel
