// The BINI reader must refuse or convert any bytes without reading out of bounds; the
// writer's output must always read back, and its text form must be stable.
#include "BiniFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        (void)bini::toText(bytes);
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
