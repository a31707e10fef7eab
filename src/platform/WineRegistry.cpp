#include "platform/WineRegistry.h"

#include "platform/AsciiText.h"
#include "platform/CaseInsensitivePath.h"
#include "platform/Files.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace skarvel {

namespace {

// Registry names compare without regard to case (ASCII letters, as Wine's own files hold
// everything else as escapes).
std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// "Software\\Foo\\" and "\\Software\\Foo" name the same key.
std::string keyId(std::string_view path) {
    while (!path.empty() && path.front() == '\\') {
        path.remove_prefix(1);
    }
    while (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    return lowered(path);
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// UTF-16 code units to UTF-8, pairing surrogates.
std::string utf8FromUtf16(const std::vector<std::uint16_t>& units) {
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        std::uint32_t code = units[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        appendUtf8(out, code);
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Reads an escaped text up to the unescaped terminator and moves pos past the terminator.
// Escapes as Wine writes them: \\ \" \] \n \t and the like, \x with up to four hex digits,
// up to three octal digits. Returns nothing when the terminator is missing.
std::optional<std::string> unescape(std::string_view line, std::size_t& pos, char terminator) {
    std::vector<std::uint16_t> units;
    std::string out;
    const auto flushUnits = [&]() {
        out += utf8FromUtf16(units);
        units.clear();
    };
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == terminator) {
            flushUnits();
            return out;
        }
        if (c != '\\' || pos >= line.size()) {
            flushUnits();
            out.push_back(c); // bytes outside escapes pass unchanged
            continue;
        }
        const char e = line[pos++];
        switch (e) {
        case 'a':
            units.push_back('\a');
            break;
        case 'b':
            units.push_back('\b');
            break;
        case 'e':
            units.push_back(0x1B);
            break;
        case 'f':
            units.push_back('\f');
            break;
        case 'n':
            units.push_back('\n');
            break;
        case 'r':
            units.push_back('\r');
            break;
        case 't':
            units.push_back('\t');
            break;
        case 'v':
            units.push_back('\v');
            break;
        case 'x': {
            std::uint16_t code = 0;
            int digits = 0;
            while (digits < 4 && pos < line.size() && hexDigit(line[pos]) >= 0) {
                code = static_cast<std::uint16_t>(code * 16 + hexDigit(line[pos++]));
                ++digits;
            }
            units.push_back(digits > 0 ? code : 'x');
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                std::uint16_t code = static_cast<std::uint16_t>(e - '0');
                for (int digits = 1;
                     digits < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7';
                     ++digits) {
                    code = static_cast<std::uint16_t>(code * 8 + (line[pos++] - '0'));
                }
                units.push_back(code);
            } else {
                units.push_back(static_cast<unsigned char>(e));
            }
        }
    }
    return std::nullopt;
}

std::string_view trimmed(std::string_view text) {
    text = trimBlanks(text);
    // A CR before the LF goes with the blanks at the end.
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// "43,00,3a,00" to bytes; nothing when a pair is not hexadecimal.
std::optional<std::string> hexBytes(std::string_view data) {
    std::string bytes;
    std::size_t pos = 0;
    while (pos < data.size()) {
        while (pos < data.size() && (data[pos] == ',' || isBlank(data[pos]))) {
            ++pos;
        }
        if (pos >= data.size()) {
            break;
        }
        if (pos + 1 >= data.size() || hexDigit(data[pos]) < 0 || hexDigit(data[pos + 1]) < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(hexDigit(data[pos]) * 16 + hexDigit(data[pos + 1])));
        pos += 2;
    }
    return bytes;
}

// REG_SZ and REG_EXPAND_SZ stored as UTF-16LE bytes, ending with a NUL.
std::string stringFromUtf16Bytes(const std::string& bytes) {
    std::vector<std::uint16_t> units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units.push_back(
            static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[i]) |
                                       (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    while (!units.empty() && units.back() == 0) {
        units.pop_back();
    }
    return utf8FromUtf16(units);
}

constexpr unsigned RegSz = 1;
constexpr unsigned RegExpandSz = 2;
constexpr unsigned RegDword = 4;

// The value text after "=": "text", str(n):"text", dword:n, hex:..., hex(n):...
RegistryValue parseData(std::string_view data) {
    RegistryValue value;
    value.type = RegistryValue::Type::Other;
    value.text = std::string(data);

    unsigned type = RegSz;
    std::string_view rest = data;
    const auto typeInParentheses = [&rest](std::string_view prefix) -> std::optional<unsigned> {
        if (rest.substr(0, prefix.size()) != prefix) {
            return std::nullopt;
        }
        const auto close = rest.find("):", prefix.size());
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        unsigned number = 0;
        for (const char c : rest.substr(prefix.size(), close - prefix.size())) {
            if (hexDigit(c) < 0) {
                return std::nullopt;
            }
            number = number * 16 + static_cast<unsigned>(hexDigit(c));
        }
        rest.remove_prefix(close + 2);
        return number;
    };

    if (auto strType = typeInParentheses("str(")) {
        type = *strType;
    }
    if (!rest.empty() && rest.front() == '"') {
        std::size_t pos = 1;
        auto text = unescape(rest, pos, '"');
        if (text && (type == RegSz || type == RegExpandSz)) {
            value.type = RegistryValue::Type::String;
            value.text = std::move(*text);
        }
        return value;
    }
    if (rest.substr(0, 6) == "dword:") {
        const auto digits = trimmed(rest.substr(6));
        if (!digits.empty() && digits.size() <= 8) {
            std::uint32_t number = 0;
            for (const char c : digits) {
                if (hexDigit(c) < 0) {
                    return value;
                }
                number = number * 16 + static_cast<std::uint32_t>(hexDigit(c));
            }
            value.type = RegistryValue::Type::Dword;
            value.dword = number;
        }
        return value;
    }
    std::optional<unsigned> hexType;
    if (rest.substr(0, 4) == "hex:") {
        rest.remove_prefix(4);
        hexType = 3; // REG_BINARY
    } else {
        hexType = typeInParentheses("hex(");
    }
    if (!hexType) {
        return value;
    }
    const auto bytes = hexBytes(rest);
    if (!bytes) {
        return value;
    }
    if (*hexType == RegSz || *hexType == RegExpandSz) {
        value.type = RegistryValue::Type::String;
        value.text = stringFromUtf16Bytes(*bytes);
    } else if (*hexType == RegDword && bytes->size() == 4) {
        value.type = RegistryValue::Type::Dword;
        for (std::size_t i = 4; i-- > 0;) {
            value.dword = (value.dword << 8) | static_cast<unsigned char>((*bytes)[i]);
        }
    }
    return value;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        auto line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

} // namespace

WineRegistry WineRegistry::parse(std::string_view text) {
    WineRegistry registry;
    std::map<std::string, RegistryValue>* currentKey = nullptr;
    const auto lines = splitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = trimmed(lines[i]);
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            std::size_t pos = 1;
            const auto path = unescape(line, pos, ']');
            currentKey = path ? &registry.keys_[keyId(*path)] : nullptr;
            continue;
        }
        if (currentKey == nullptr) {
            continue; // the header line, or values of a key that could not be read
        }
        std::string name;
        std::size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (line.front() == '"') {
            pos = 1;
            auto unescaped = unescape(line, pos, '"');
            if (!unescaped) {
                continue;
            }
            name = std::move(*unescaped);
        } else {
            continue;
        }
        if (pos >= line.size() || line[pos] != '=') {
            continue;
        }
        std::string data(trimmed(line.substr(pos + 1)));
        // Long binary values go on over lines that end with a backslash.
        while (!data.empty() && data.back() == '\\' && data.substr(0, 3) == "hex" &&
               i + 1 < lines.size()) {
            data.pop_back();
            data += trimmed(lines[++i]);
        }
        (*currentKey)[lowered(name)] = parseData(data);
    }
    return registry;
}

bool WineRegistry::hasKey(std::string_view keyPath) const {
    const std::string id = keyId(keyPath);
    if (keys_.count(id) != 0) {
        return true;
    }
    // Wine lists only keys with values or without subkeys; their parents exist too.
    const std::string prefix = id + "\\";
    const auto below = keys_.lower_bound(prefix);
    return below != keys_.end() && below->first.compare(0, prefix.size(), prefix) == 0;
}

std::optional<RegistryValue> WineRegistry::value(std::string_view keyPath,
                                                 std::string_view name) const {
    const auto key = keys_.find(keyId(keyPath));
    if (key == keys_.end()) {
        return std::nullopt;
    }
    const auto found = key->second.find(lowered(name));
    if (found == key->second.end()) {
        return std::nullopt;
    }
    return found->second;
}

namespace {

// The folder a drive letter stands for: the dosdevices link, resolved against its folder;
// c: falls back to drive_c when there is no link.
std::string driveRoot(const std::string& prefix, char letter) {
    namespace fs = std::filesystem;
    const fs::path devices = fs::path(prefix) / "dosdevices";
    const char lower =
        static_cast<char>(letter >= 'A' && letter <= 'Z' ? letter - 'A' + 'a' : letter);
    for (const char spelling : {lower, static_cast<char>(lower - 'a' + 'A')}) {
        const fs::path device = devices / (std::string(1, spelling) + ":");
        std::error_code error;
        const auto status = fs::symlink_status(device, error);
        if (error || !fs::exists(status)) {
            continue;
        }
        if (fs::is_symlink(status)) {
            const fs::path target = fs::read_symlink(device, error);
            if (!error) {
                return (target.is_absolute() ? target : devices / target)
                    .lexically_normal()
                    .string();
            }
        }
        return device.string();
    }
    if (lower == 'c') {
        return (fs::path(prefix) / "drive_c").string();
    }
    return (devices / (std::string(1, lower) + ":")).string();
}

std::string nativePath(const std::string& prefix, const std::string& windowsPath) {
    std::string rest = windowsPath;
    std::string root;
    if (rest.size() >= 2 && rest[1] == ':' &&
        ((rest[0] >= 'a' && rest[0] <= 'z') || (rest[0] >= 'A' && rest[0] <= 'Z'))) {
        root = driveRoot(prefix, rest[0]);
        rest.erase(0, 2);
    }
    for (char& c : rest) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (!root.empty()) {
        while (!root.empty() && root.back() == '/' && root.size() > 1) {
            root.pop_back();
        }
        if (rest.empty() || rest.front() != '/') {
            rest.insert(0, "/");
        }
        if (root == "/") {
            root.clear();
        }
    }
    return resolveCaseInsensitive(root + rest);
}

} // namespace

GameLocation findGame(const std::string& winePrefix) {
    GameLocation location;
    if (winePrefix.empty()) {
        return location;
    }
    const std::string file = winePrefix + "/system.reg";
    if (!fileExists(file)) {
        return location;
    }
    std::string text;
    try {
        text = readFile(file);
    } catch (const std::runtime_error&) {
        return location; // an unreadable registry is one without the game
    }
    const auto registry = WineRegistry::parse(text);
    for (const char* key : {"Software\\Microsoft\\Microsoft Games\\Freelancer\\1.0",
                            "Software\\Wow6432Node\\Microsoft\\Microsoft Games\\Freelancer\\1.0"}) {
        if (!registry.hasKey(key)) {
            continue;
        }
        location.keyFound = true;
        const auto appPath = registry.value(key, "AppPath");
        if (!appPath) {
            return location;
        }
        if (appPath->type != RegistryValue::Type::String) {
            throw std::runtime_error("Invalid data type for 'AppPath'");
        }
        location.appPath = appPath->text.empty() ? "" : nativePath(winePrefix, appPath->text);
        return location;
    }
    return location;
}

std::string defaultWinePrefix() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) {
        return prefix;
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return std::string(home) + "/.wine";
    }
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) {
        return std::string(entry->pw_dir) + "/.wine";
    }
    return {};
}

} // namespace skarvel
