#include "trade/TradeFiles.h"

#include "BiniFormat.h"
#include "platform/CaseInsensitivePath.h"
#include "platform/Files.h"

#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>

namespace skarvel::trade {

namespace {

namespace fs = std::filesystem;

// base/named with '/' separators and without "." parts; empty when it climbs above the root
// or is absolute.
std::string insideRoot(std::string_view base, std::string_view named) {
    std::string joined = std::string(base) + "/" + std::string(named);
    for (char& c : joined) {
        c = c == '\\' ? '/' : c;
    }
    if (!named.empty() &&
        (named.front() == '/' || named.front() == '\\' || (named.size() > 1 && named[1] == ':'))) {
        return {};
    }
    std::string result;
    int depth = 0;
    for (const auto& part : fs::path(joined)) {
        const std::string text = part.string();
        if (text.empty() || text == "." || text == "/") {
            continue;
        }
        if (text == "..") {
            if (--depth < 0) {
                return {};
            }
            result.erase(result.rfind('/') == std::string::npos ? 0 : result.rfind('/'));
            continue;
        }
        ++depth;
        result += (result.empty() ? "" : "/") + text;
    }
    return result;
}

bool within(const std::string& path, const std::string& root) {
    std::error_code error;
    const std::string real = fs::weakly_canonical(path, error).string();
    const std::string top = fs::weakly_canonical(root, error).string();
    return !error && (real == top || real.starts_with(top + "/"));
}

} // namespace

TradeFile readTradeFile(const std::string& root, std::string_view base, std::string_view named) {
    TradeFile file;
    const std::string relative = insideRoot(base, named);
    file.shown = relative.empty() ? std::string(named) : relative;
    if (relative.empty()) {
        file.refusal = "names a file outside the game folder";
        return file;
    }
    file.path = resolveCaseInsensitive(root + relative);
    file.shown = file.path.substr(std::min(root.size(), file.path.size()));
    struct stat info {};
    if (::stat(file.path.c_str(), &info) != 0) {
        file.refusal = "is missing";
    } else if (!within(file.path, root)) {
        file.refusal = "names a file outside the game folder";
    } else if (!S_ISREG(info.st_mode)) {
        file.refusal = "is not a regular file";
    } else if (static_cast<std::uint64_t>(info.st_size) > kTradeFileSizeCap) {
        file.refusal = "is larger than the 64 MB cap";
    }
    if (!file.refusal.empty()) {
        return file;
    }
    try {
        std::string bytes = readFile(file.path);
        if (bytes.starts_with("BINI")) {
            bytes = bini::toText(bytes);
        }
        auto parsed = std::make_shared<const ini::ParsedIni>(std::move(bytes));
        if (!parsed->isText()) {
            file.refusal = "cannot be parsed: it is not text";
            return file;
        }
        file.ini = std::move(parsed);
    } catch (const bini::FormatError& error) {
        file.refusal = std::string("cannot be parsed: ") + error.what();
    } catch (const std::exception& error) {
        file.refusal = std::string("cannot be read: ") + error.what();
    }
    return file;
}

std::string keyValue(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section,
                     std::string_view key) {
    const auto* found = ini.findKey(section, key);
    return found ? ini.value(*found) : std::string();
}

} // namespace skarvel::trade
