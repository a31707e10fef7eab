#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skarvel {

// A stored preference value: a 32-bit integer, or something stored with another type.
struct StoredValue {
    bool isInteger = true;
    std::uint32_t value = 0;
    std::string text; // the stored text when it is not an integer
};

// The user's stored switches ("SecurityDialogs", "CheckNewVersion") and the optional
// "UpdateSite" text.
class Preferences {
public:
    virtual ~Preferences() = default;

    virtual std::optional<StoredValue> read(std::string_view name) const = 0;
    virtual void writeInteger(std::string_view name, std::uint32_t value) = 0;
};

} // namespace skarvel
