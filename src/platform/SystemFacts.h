#pragma once

#include <string>

namespace skarvel {

// Full path of the running executable.
std::string executablePath();
// Folder of the running executable, without a trailing separator.
std::string executableFolder();
std::string computerName();
std::string userName();

// File-system type name of the volume that holds path ("ext4", "tmpfs"); empty on failure.
std::string fileSystemName(const std::string& path);

struct OperatingSystemVersion {
    std::string name; // "Linux"
    int major = 0;
    int minor = 0;
    int build = 0;
    std::string extra; // distribution text, like a service-pack text
};

OperatingSystemVersion operatingSystemVersion();

} // namespace skarvel
