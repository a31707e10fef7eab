#include "check/Baseline.h"

#include "check/CheckOutput.h"
#include "platform/Files.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace skarvel::check {

namespace {

// A baseline is a few thousand problems at most; this is far above any real one.
constexpr std::uint64_t kBaselineSizeCap = 64ull * 1024 * 1024;

std::string field(const nlohmann::json& entry, const char* name) {
    const auto found = entry.find(name);
    if (found == entry.end() || !found->is_string()) {
        throw std::runtime_error(std::string("a problem without its '") + name + "'");
    }
    return found->get<std::string>();
}

// The text as the JSON output holds it: a byte that is no UTF-8 replaced by U+FFFD.
std::string asWritten(const std::string& bytes) {
    const std::string quoted =
        nlohmann::json(bytes).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return nlohmann::json::parse(quoted).get<std::string>();
}

} // namespace

Baseline Baseline::read(const std::string& path) {
    const std::string bytes = readRegularFile(path, kBaselineSizeCap);
    Baseline baseline;
    try {
        const auto document = nlohmann::json::parse(bytes);
        if (!document.is_array()) {
            throw std::runtime_error("not a JSON array of problems");
        }
        for (const auto& entry : document) {
            if (!entry.is_object()) {
                throw std::runtime_error("not a JSON array of problems");
            }
            ++baseline.known_[{field(entry, "rule"), field(entry, "file"), field(entry, "nickname"),
                               field(entry, "message")}];
        }
    } catch (const std::exception& error) {
        throw std::runtime_error(path + " is no baseline: " + error.what());
    }
    return baseline;
}

Problems Baseline::newProblems(const Problems& problems) const {
    std::map<Identity, int> left = known_;
    Problems added;
    for (const Problem& problem : problems) {
        const Identity identity{std::string(problem.rule), asWritten(problem.file),
                                asWritten(problem.nickname), asWritten(problem.message)};
        const auto found = left.find(identity);
        if (found != left.end() && found->second > 0) {
            --found->second;
        } else {
            added.push_back(problem);
        }
    }
    return added;
}

void writeBaseline(const std::string& path, const Problems& problems) {
    writeFileAtomically(path, problemsJson(problems) + "\n", /*durable=*/true);
}

} // namespace skarvel::check
