#include "platform/SystemFacts.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <sys/statfs.h>
#include <sys/utsname.h>
#include <system_error>
#include <unistd.h>

namespace skarvel {

std::string executablePath() {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::string executableFolder() {
    return std::filesystem::path(executablePath()).parent_path().string();
}

std::string computerName() {
    std::array<char, 256> buffer{};
    if (gethostname(buffer.data(), buffer.size() - 1) != 0) {
        return {};
    }
    return buffer.data();
}

std::string userName() {
    if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_name) {
        return entry->pw_name;
    }
    if (const char* user = std::getenv("USER")) {
        return user;
    }
    return {};
}

std::string fileSystemName(const std::string& path) {
    struct statfs info {};
    if (statfs(path.c_str(), &info) != 0) {
        return {};
    }
    // The mount table names the type; find the longest mount point that holds the path.
    std::error_code error;
    const auto target = std::filesystem::weakly_canonical(path, error).string();
    std::ifstream mounts("/proc/self/mounts");
    std::string device, mountPoint, type, rest;
    std::string best, bestType;
    while (mounts >> device >> mountPoint >> type && std::getline(mounts, rest)) {
        const bool under = target.rfind(mountPoint, 0) == 0 &&
                           (mountPoint == "/" || target.size() == mountPoint.size() ||
                            target[mountPoint.size()] == '/');
        if (under && mountPoint.size() >= best.size()) {
            best = mountPoint;
            bestType = type;
        }
    }
    return bestType;
}

OperatingSystemVersion operatingSystemVersion() {
    OperatingSystemVersion version;
    utsname names{};
    if (uname(&names) == 0) {
        version.name = names.sysname;
        std::sscanf(names.release, "%d.%d.%d", &version.major, &version.minor, &version.build);
    }
    std::ifstream release("/etc/os-release");
    std::string line;
    while (std::getline(release, line)) {
        if (line.rfind("PRETTY_NAME=", 0) == 0) {
            version.extra = line.substr(12);
            if (version.extra.size() >= 2 && version.extra.front() == '"') {
                version.extra = version.extra.substr(1, version.extra.size() - 2);
            }
        }
    }
    return version;
}

} // namespace skarvel
