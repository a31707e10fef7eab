#include "journal/VersionInfo.h"

#include "Version.h"
#include "journal/Format.h"
#include "platform/SystemFacts.h"

#include <filesystem>
#include <system_error>

namespace skarvel {

bool ReadVersionInfo(const std::string& fileName, TVersionInfo& info) {
    std::error_code error;
    if (fileName.empty() || !std::filesystem::equivalent(fileName, executablePath(), error) ||
        error) {
        return false;
    }
    info = TVersionInfo{};
    info.fileName = fileName;
    info.major = SKARVEL_VERSION_MAJOR;
    info.minor = SKARVEL_VERSION_MINOR;
    info.release = SKARVEL_VERSION_PATCH;
    info.build = SKARVEL_BUILD_NUMBER;
    info.fileVersion =
        formatText("%d.%d.%d.%d", {info.major, info.minor, info.release, info.build});
    info.productName = "Freelancer Skarvel";
    info.companyName = "Skarvel";
    info.fileDescription = "Ship data editor for Freelancer";
    info.comments = "Edits the ship values of the game's data files";
    info.legalCopyright = "Skarvel developers";
    return true;
}

std::string VersionString(const std::string& fileName) {
    TVersionInfo info;
    if (!ReadVersionInfo(fileName, info)) {
        return "0";
    }
    return formatText("%d.%d.%d.%d", {info.major, info.minor, info.release, info.build});
}

} // namespace skarvel
