#include "journal/Encoding.h"

namespace skarvel {

std::string toCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size()) {
            const auto next = static_cast<unsigned char>(utf8[i + 1]);
            if ((next & 0xC0) == 0x80) {
                out.push_back(static_cast<char>(((lead & 0x03) << 6) | (next & 0x3F)));
                ++i;
                continue;
            }
        }
        out.push_back(static_cast<char>(lead));
    }
    return out;
}

} // namespace skarvel
