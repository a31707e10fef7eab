#pragma once

#include <cstdint>
#include <string>

namespace skarvel {

// Version data of a program file. On Linux the version is compiled into the program, so
// only the running program's own executable has one.
struct TVersionInfo {
    std::string fileName;
    std::string fileVersion; // "0.4.1.23"
    std::string productName;
    std::string companyName;
    std::string fileDescription;
    std::string comments;
    std::string legalCopyright;
    std::int32_t major = 0;
    std::int32_t minor = 0;
    std::int32_t release = 0;
    std::int32_t build = 0;
};

// True when fileName is the running executable (the one file with version data here).
bool ReadVersionInfo(const std::string& fileName, TVersionInfo& info);
// "major.minor.release.build", or "0" when the file has no version data.
std::string VersionString(const std::string& fileName);

} // namespace skarvel
