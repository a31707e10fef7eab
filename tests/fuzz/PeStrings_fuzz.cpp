// Any bytes must give a string table or PeFormatError, never another exception or a read out
// of bounds. Started with a corpus folder, the target first puts a small valid DLL from the
// tests' PE writer into it: blind mutation rarely finds a resource tree on its own.
#include "platform/PeStringTable.h"
#include "support/PeBuilder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    for (int i = 1; i < *argc; ++i) {
        const std::filesystem::path folder = (*argv)[i];
        if ((*argv)[i][0] == '-' || !std::filesystem::is_directory(folder)) {
            continue;
        }
        const auto seed = skarvel::test::buildPe(
            {{0, u"Defender"}, {17, u"Caf\u00e9 \u03a9"}, {40432, u"Drone"}, {65535, u"last"}},
            {.secondLanguage = true});
        std::ofstream(folder / "seed.dll", std::ios::binary) << seed.bytes;
        break;
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto table = skarvel::readPeStringTable({reinterpret_cast<const char*>(data), size});
        for (const auto& [number, text] : table) {
            // Each string came out of the file: a UTF-16 unit of two bytes gives at most three
            // bytes of UTF-8.
            if (text.empty() || text.size() * 2 > size * 3) {
                std::abort();
            }
        }
    } catch (const skarvel::PeFormatError&) {
    }
    return 0;
}
