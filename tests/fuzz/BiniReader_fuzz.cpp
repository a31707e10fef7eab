// The BINI reader must refuse or convert any bytes without reading out of bounds, within its
// size bound, and without a name or string that breaks a line; the writer's output must always
// read back, and its text form must be stable.
#include "BiniFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::size_t sectionLines(std::string_view text) {
    std::size_t count = text.starts_with('[') ? 1 : 0;
    for (std::size_t at = text.find("\n["); at != std::string_view::npos;
         at = text.find("\n[", at + 1)) {
        ++count;
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const std::string read = bini::toText(bytes);
        if (read.size() > bini::textLimit(size)) {
            std::abort();
        }
        // Reading the text back finds the same sections: no key turned into a header.
        std::string again;
        try {
            again = bini::toText(bini::fromText(read));
        } catch (const bini::FormatError&) {
            again = read; // names beyond 64 KB, or text beyond the new bound
        }
        if (sectionLines(again) != sectionLines(read)) {
            std::abort();
        }
    } catch (const bini::FormatError&) {
    }

    std::string text;
    try {
        text = bini::toText(bini::fromText(bytes));
    } catch (const bini::FormatError&) {
        return 0; // text that cannot be stored
    }
    // Once in canonical form, the text survives another round unchanged.
    if (bini::toText(bini::fromText(text)) != text) {
        std::abort();
    }
    return 0;
}
