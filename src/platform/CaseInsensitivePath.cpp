#include "platform/CaseInsensitivePath.h"

#include "platform/AsciiText.h"

#include <algorithm>
#include <dirent.h>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace skarvel {

namespace {

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Names in a folder, sorted so that the choice among several case variants is the same
// on every run.
std::vector<std::string> sortedEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> findIgnoringCase(const std::string& folder, std::string_view component) {
    for (const auto& name : sortedEntries(folder)) {
        if (equalsIgnoringCase(name, component)) {
            return name;
        }
    }
    return std::nullopt;
}

} // namespace

std::string resolveCaseInsensitive(const std::string& path) {
    std::string resolved;
    bool missing = false;
    std::size_t start = 0;
    if (!path.empty() && path.front() == '/') {
        resolved = "/";
        start = 1;
    }
    while (start <= path.size()) {
        const auto slash = path.find('/', start);
        const auto end = slash == std::string::npos ? path.size() : slash;
        const std::string_view component = std::string_view(path).substr(start, end - start);
        // The folder the component is looked up in, as resolved so far.
        const std::string folder = resolved;

        std::string chosen(component);
        if (!missing && !component.empty() && component != "." && component != "..") {
            if (!exists(folder + chosen)) {
                if (auto match = findIgnoringCase(folder, component)) {
                    chosen = std::move(*match);
                } else {
                    // Nothing below a missing component can exist: keep the rest as given.
                    missing = true;
                }
            }
        }
        resolved += chosen;
        if (slash == std::string::npos) {
            break;
        }
        resolved += '/';
        start = slash + 1;
    }
    return resolved;
}

} // namespace skarvel
