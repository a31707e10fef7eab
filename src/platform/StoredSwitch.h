#pragma once

#include "ports/Preferences.h"

#include <cstdint>
#include <string>

namespace skarvel {

// One stored on/off preference ("SecurityDialogs", "CheckNewVersion") with its field rules:
// field 0 off, 1 on, 5 re-read the store at every query, any other value on (and becomes
// 1 in memory at the first query).
class StoredSwitch {
public:
    StoredSwitch(Preferences& store, std::string name);

    // Start-up reading: an absent value is stored as 1. A value above 255, or one stored
    // with another type, throws (std::range_error "Range check error", or
    // std::runtime_error "Invalid data type for '<name>'").
    void loadAtStartup();

    bool get();                   // GetSecurityDialogs / GetCheckNewVersion
    void set(std::uint8_t value); // SetSecurityDialogs / SetCheckNewVersion
    std::uint8_t field() const { return field_; }
    const std::string& name() const { return name_; }

private:
    std::uint8_t readStored() const;

    Preferences& store_;
    std::string name_;
    std::uint8_t field_ = 1;
};

} // namespace skarvel
