#pragma once

#include "ports/Preferences.h"

#include <map>
#include <string>

namespace skarvel::test {

class MemoryPreferences : public Preferences {
public:
    std::optional<StoredValue> read(std::string_view name) const override {
        const auto it = values.find(std::string(name));
        if (it == values.end()) {
            return std::nullopt;
        }
        return it->second;
    }
    void writeInteger(std::string_view name, std::uint32_t value) override {
        values[std::string(name)] = StoredValue{true, value, {}};
        ++writes;
    }

    std::map<std::string, StoredValue> values;
    int writes = 0;
};

} // namespace skarvel::test
