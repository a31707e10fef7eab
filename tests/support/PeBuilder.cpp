#include "support/PeBuilder.h"

#include <vector>

namespace skarvel::test {

namespace {

constexpr std::uint32_t kSectionAddress = 0x1000;
constexpr std::size_t kHeadersSize = 0x200;
constexpr std::size_t kSignatureAt = 0x40;

void put16(std::string& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8 & 0xFF);
}

void put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    put16(bytes, at, value & 0xFFFF);
    put16(bytes, at + 2, value >> 16);
}

// Directory header: no named entries, count id entries.
void putDirectory(std::string& bytes, std::size_t at, std::size_t count) {
    put16(bytes, at + 14, static_cast<std::uint32_t>(count));
}

} // namespace

PeImage buildPe(const std::map<std::uint16_t, std::u16string>& strings, const PeOptions& options) {
    // Blocks of 16 strings, by block id.
    std::map<std::uint32_t, std::vector<std::u16string>> blocks;
    for (const auto& [number, text] : strings) {
        auto& block = blocks[number / 16u + 1];
        block.resize(16);
        block[number % 16] = text;
    }
    const std::size_t languages = options.secondLanguage ? 2 : 1;
    const std::size_t count = blocks.size();

    // Resource section: type directory, block directory, language directories, data entries,
    // then the blocks' data.
    const std::size_t blockDirectory = 24;
    const std::size_t languageDirectories = blockDirectory + 16 + 8 * count;
    const std::size_t languageSize = 16 + 8 * languages;
    const std::size_t dataEntries = languageDirectories + languageSize * count;
    std::size_t dataAt = dataEntries + 16 * count * languages;
    std::size_t firstBlock = 0;

    std::string section(dataAt, '\0');
    putDirectory(section, 0, 1);
    put32(section, 16, 6);
    put32(section, 20, 0x80000000u | blockDirectory);
    putDirectory(section, blockDirectory, count);
    std::size_t index = 0;
    for (const auto& [id, texts] : blocks) {
        const std::size_t languageAt = languageDirectories + languageSize * index;
        put32(section, blockDirectory + 16 + 8 * index, id);
        put32(section, blockDirectory + 20 + 8 * index,
              0x80000000u | static_cast<std::uint32_t>(languageAt));
        putDirectory(section, languageAt, languages);
        for (std::size_t language = 0; language < languages; ++language) {
            std::string data;
            for (const std::u16string& text : texts) {
                const std::u16string shown = language == 0 || text.empty() ? text : u"wrong";
                data += static_cast<char>(shown.size() & 0xFF);
                data += static_cast<char>(shown.size() >> 8);
                for (const char16_t unit : shown) {
                    data += static_cast<char>(unit & 0xFF);
                    data += static_cast<char>(unit >> 8);
                }
            }
            const std::size_t entry = dataEntries + 16 * (index * languages + language);
            put32(section, languageAt + 16 + 8 * language, language == 0 ? 0x409 : 0x407);
            put32(section, languageAt + 20 + 8 * language, static_cast<std::uint32_t>(entry));
            dataAt = (section.size() + 3) & ~std::size_t{3};
            section.resize(dataAt);
            section += data;
            if (index == 0 && language == 0) {
                firstBlock = dataAt;
            }
            put32(section, entry, kSectionAddress + static_cast<std::uint32_t>(dataAt));
            put32(section, entry + 4, static_cast<std::uint32_t>(data.size()));
        }
        ++index;
    }

    PeImage image;
    std::string& bytes = image.bytes;
    bytes.assign(kHeadersSize, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    put32(bytes, 0x3C, kSignatureAt);
    bytes.replace(kSignatureAt, 4, std::string("PE\0\0", 4));
    const std::size_t fileHeader = kSignatureAt + 4;
    const std::size_t optional = fileHeader + 20;
    const std::size_t optionalSize = options.pe32Plus ? 240 : 224;
    put16(bytes, fileHeader, options.pe32Plus ? 0x8664 : 0x14C);
    put16(bytes, fileHeader + 2, 1);
    put16(bytes, fileHeader + 16, static_cast<std::uint32_t>(optionalSize));
    put16(bytes, fileHeader + 18, 0x2102); // executable, 32-bit words, DLL

    const auto size = static_cast<std::uint32_t>(section.size());
    put16(bytes, optional, options.pe32Plus ? 0x20B : 0x10B);
    put32(bytes, optional + 32, 0x1000); // section alignment
    put32(bytes, optional + 36, 0x200);  // file alignment
    put16(bytes, optional + 40, 4);      // operating system version
    put16(bytes, optional + 48, 4);      // subsystem version
    put32(bytes, optional + 56, kSectionAddress + ((size + 0xFFF) & ~0xFFFu));
    put32(bytes, optional + 60, kHeadersSize);
    put16(bytes, optional + 68, 2); // Windows GUI
    const std::size_t directories = optional + (options.pe32Plus ? 112 : 96);
    put32(bytes, directories - 4, 16);
    put32(bytes, directories + 16, kSectionAddress);
    put32(bytes, directories + 20, size);

    image.sectionHeader = optional + optionalSize;
    bytes.replace(image.sectionHeader, 8, std::string(".rsrc\0\0\0", 8));
    put32(bytes, image.sectionHeader + 8, size);
    put32(bytes, image.sectionHeader + 12, kSectionAddress);
    put32(bytes, image.sectionHeader + 16, size);
    put32(bytes, image.sectionHeader + 20, kHeadersSize);
    put32(bytes, image.sectionHeader + 36, 0x40000040u); // initialised data, readable

    image.resources = kHeadersSize;
    image.firstLanguageEntry = kHeadersSize + languageDirectories + 16;
    image.firstDataEntry = kHeadersSize + dataEntries;
    image.firstBlock = kHeadersSize + firstBlock;
    bytes += section;
    return image;
}

} // namespace skarvel::test
