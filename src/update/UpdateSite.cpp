#include "update/UpdateSite.h"

#include "Version.h"

namespace skarvel {

namespace {

std::optional<std::string>& replacedSite() {
    static std::optional<std::string> site;
    return site;
}

bool blank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

} // namespace

std::string builtInUpdateSite() {
    return replacedSite().value_or(SKARVEL_UPDATE_SITE);
}

std::string chooseUpdateSite(const std::optional<std::string>& preference,
                             std::string_view builtIn) {
    if (preference && !blank(*preference)) {
        return *preference;
    }
    return blank(builtIn) ? std::string() : std::string(builtIn);
}

BuiltInUpdateSiteForTesting::BuiltInUpdateSiteForTesting(std::string site)
    : before_(replacedSite()) {
    replacedSite() = std::move(site);
}

BuiltInUpdateSiteForTesting::~BuiltInUpdateSiteForTesting() {
    replacedSite() = before_;
}

} // namespace skarvel
