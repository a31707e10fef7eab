#include "check/CheckOutput.h"

#include "Version.h"
#include "check/Rules.h"

#include <nlohmann/json.hpp>

namespace skarvel::check {

namespace {

using nlohmann::json;

constexpr std::string_view kBaseId = "GAMEFOLDER";

std::string dumped(const json& document) {
    // The files' bytes are Windows-1252 as often as UTF-8: a byte that is no UTF-8 is U+FFFD.
    return document.dump(1, ' ', false, json::error_handler_t::replace);
}

// A path as a URI reference: unreserved bytes and '/' as they are, every other byte (a
// blank, a letter of Windows-1252) percent-encoded.
std::string uriOf(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' ||
                           c == '~' || c == '/';
        if (plain) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0xF];
        }
    }
    return uri;
}

json ruleTable() {
    json table = json::array();
    for (const Rule& rule : rules()) {
        table.push_back({{"id", rule.id},
                         {"shortDescription", {{"text", rule.text}}},
                         {"defaultConfiguration", {{"level", severityText(rule.severity)}}}});
    }
    return table;
}

json sarifResult(const Problem& problem) {
    json location = {{"artifactLocation", {{"uri", uriOf(problem.file)}}}};
    if (problem.file.starts_with('/')) {
        location["artifactLocation"]["uri"] = "file://" + uriOf(problem.file);
    } else {
        location["artifactLocation"]["uriBaseId"] = kBaseId;
    }
    if (problem.line >= 1) {
        location["region"] = {{"startLine", problem.line}};
    }
    json result = {{"ruleId", problem.rule},
                   {"level", severityText(problem.severity)},
                   {"message", {{"text", problem.message}}},
                   {"locations", json::array({{{"physicalLocation", location}}})}};
    const auto all = rules();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].id == problem.rule) {
            result["ruleIndex"] = i;
        }
    }
    return result;
}

} // namespace

std::string problemsJson(const Problems& problems) {
    auto array = json::array();
    for (const Problem& problem : problems) {
        array.push_back({{"file", problem.file},
                         {"line", problem.line},
                         {"severity", severityText(problem.severity)},
                         {"rule", problem.rule},
                         {"nickname", problem.nickname},
                         {"message", problem.message}});
    }
    return dumped(array);
}

std::string sarifLog(const Problems& problems, const std::string& gameFolder) {
    json results = json::array();
    for (const Problem& problem : problems) {
        results.push_back(sarifResult(problem));
    }
    std::string root = gameFolder;
    if (!root.ends_with('/')) {
        root += '/';
    }
    const json driver = {{"name", "skarvel"},
                         {"version", SKARVEL_VERSION_TEXT},
                         {"informationUri", SKARVEL_HOME_PAGE},
                         {"rules", ruleTable()}};
    const json run = {{"tool", {{"driver", driver}}},
                      {"originalUriBaseIds", {{kBaseId, {{"uri", "file://" + uriOf(root)}}}}},
                      {"results", results}};
    const json log = {{"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
                      {"version", "2.1.0"},
                      {"runs", json::array({run})}};
    return dumped(log);
}

} // namespace skarvel::check
