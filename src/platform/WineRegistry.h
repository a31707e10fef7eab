#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace skarvel {

// One value of a Wine registry file: a string (REG_SZ), a 32-bit number (dword:), or any
// other type, kept as its raw text.
struct RegistryValue {
    enum class Type { String, Dword, Other };
    Type type = Type::Other;
    std::string text; // the unescaped string, or the raw text for Other
    std::uint32_t dword = 0;
};

// The text format of Wine's system.reg/user.reg: "[Key\\Path] timestamp" lines, then
// "name"="value" lines (with \" \\ \n escapes), "name"=dword:0000001f, "name"=hex(2):...,
// "@"= for the default value; ";" comments, "#time=" and "WINE REGISTRY Version" lines.
class WineRegistry {
public:
    static WineRegistry parse(std::string_view text);

    // Key paths are compared without regard to case; use single backslashes
    // ("Software\\Microsoft\\...", as C++ literals).
    bool hasKey(std::string_view keyPath) const;
    std::optional<RegistryValue> value(std::string_view keyPath, std::string_view name) const;

private:
    // lower-cased key path -> lower-cased value name -> value
    std::map<std::string, std::map<std::string, RegistryValue>, std::less<>> keys_;
};

struct GameLocation {
    bool keyFound = false; // the game's key exists
    std::string appPath;   // native path ("" when the key has no AppPath)
};

// Reads the game's key Software\Microsoft\Microsoft Games\Freelancer\1.0 (or the same under
// Software\Wow6432Node) from <prefix>/system.reg and maps AppPath's drive letter through
// <prefix>/dosdevices (c: falls back to drive_c). Never writes the prefix. No prefix or no
// key: keyFound false. An AppPath that is not a string throws std::runtime_error.
GameLocation findGame(const std::string& winePrefix);

// $WINEPREFIX, else ~/.wine.
std::string defaultWinePrefix();

} // namespace skarvel
