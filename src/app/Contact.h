#pragma once

#include "Version.h"

#include <string>
#include <string_view>

namespace skarvel {

// The contact address the build names (the cache variable SKARVEL_CONTACT_ADDRESS); empty by
// default, and then no text offers an address that nobody reads.
inline constexpr std::string_view kContactAddress = SKARVEL_CONTACT_ADDRESS;

// lead + address + tail, or nothing when there is no address.
inline std::string contactText(std::string_view lead, std::string_view tail,
                               std::string_view address = kContactAddress) {
    if (address.empty()) {
        return {};
    }
    return std::string(lead) + std::string(address) + std::string(tail);
}

// What the status bar shows after the version.
inline std::string statusBarContact(std::string_view address = kContactAddress) {
    return contactText("          :: Comments or suggestions to ", "", address);
}

} // namespace skarvel
