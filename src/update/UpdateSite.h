#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace skarvel {

// The update site this build names (SKARVEL_UPDATE_SITE); empty when it names none.
std::string builtInUpdateSite();

// The site the check asks: the UpdateSite preference when it holds text, else the built-in
// one. Empty when neither names a site: the check is then not offered.
std::string chooseUpdateSite(const std::optional<std::string>& preference,
                             std::string_view builtIn);

// Test seam: replaces the built-in site for the life of the object, so that a test does not
// depend on the address its build was configured with.
class BuiltInUpdateSiteForTesting {
public:
    explicit BuiltInUpdateSiteForTesting(std::string site);
    ~BuiltInUpdateSiteForTesting();
    BuiltInUpdateSiteForTesting(const BuiltInUpdateSiteForTesting&) = delete;
    BuiltInUpdateSiteForTesting& operator=(const BuiltInUpdateSiteForTesting&) = delete;

private:
    std::optional<std::string> before_;
};

} // namespace skarvel
