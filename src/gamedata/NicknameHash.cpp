#include "gamedata/NicknameHash.h"

#include <array>

namespace skarvel {

namespace {

// A CRC table over the game's own polynomial.
constexpr std::array<std::uint32_t, 256> makeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 1) != 0 ? (value >> 1) ^ (0xA001u << 14) : value >> 1;
        }
        table[i] = value;
    }
    return table;
}

constexpr auto kTable = makeTable();

} // namespace

std::uint32_t nicknameHash(std::string_view nickname) {
    std::uint32_t hash = 0;
    for (const char c : nickname) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 'A' && byte <= 'Z') {
            byte = static_cast<unsigned char>(byte + ('a' - 'A'));
        }
        hash = (hash >> 8) ^ kTable[(hash & 0xFF) ^ byte];
    }
    hash = ((hash & 0xFF) << 24) | ((hash & 0xFF00) << 8) | ((hash >> 8) & 0xFF00) | (hash >> 24);
    return (hash >> 2) | 0x80000000u;
}

} // namespace skarvel
