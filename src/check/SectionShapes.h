#pragma once

#include "check/ModFiles.h"

#include <span>
#include <string_view>

namespace skarvel::check {

// The keys the game knows in a section of one kind in files of one role. Only kinds whose keys
// are known whole are listed: a key reported unknown in the game's own files would be a lie.
struct SectionShape {
    FileRole role;
    std::string_view kind;
    std::span<const std::string_view> keys;
};
std::span<const SectionShape> sectionShapes();

// A key the game needs in a section of a kind; of a [Good], only of the goods of one category.
struct RequiredKey {
    FileRole role;
    std::string_view kind;
    std::string_view category; // empty: any
    std::string_view key;
};
std::span<const RequiredKey> requiredKeys();

// How many comma-separated fields a key's value has (maximum 0: any number from minimum on).
struct FieldCount {
    FileRole role;
    std::string_view kind;
    std::string_view key;
    std::size_t minimum;
    std::size_t maximum;
};
std::span<const FieldCount> fieldCounts();

} // namespace skarvel::check
