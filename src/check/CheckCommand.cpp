#include "check/CheckCommand.h"

#include "check/Checker.h"
#include "check/ModFiles.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>

namespace skarvel::check {

namespace {

struct CheckArguments {
    std::string folder;
    bool json = false;
    std::vector<const Rule*> rules;
};

// The value of "--name value" or "--name=value" at arguments[i]; moves i past it.
std::optional<std::string_view> optionValue(std::span<const std::string_view> arguments,
                                            std::size_t& i, std::string_view name) {
    const std::string_view argument = arguments[i];
    if (argument == name) {
        if (++i >= arguments.size()) {
            throw std::invalid_argument("option '" + std::string(name) + "' needs a value");
        }
        return arguments[i];
    }
    if (argument.starts_with(name) && argument.size() > name.size() &&
        argument[name.size()] == '=') {
        return argument.substr(name.size() + 1);
    }
    return std::nullopt;
}

std::vector<const Rule*> ruleList(std::string_view ids) {
    std::vector<const Rule*> selected;
    for (const std::string& id : listItems(ids)) {
        const Rule* rule = findRule(id);
        if (!rule) {
            throw std::invalid_argument("unknown rule '" + id + "'");
        }
        selected.push_back(rule);
    }
    return selected;
}

CheckArguments parse(std::span<const std::string_view> arguments) {
    CheckArguments parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (const auto format = optionValue(arguments, i, "--format")) {
            if (*format != "text" && *format != "json") {
                throw std::invalid_argument("unknown format '" + std::string(*format) + "'");
            }
            parsed.json = *format == "json";
        } else if (const auto ids = optionValue(arguments, i, "--rules")) {
            parsed.rules = ruleList(*ids);
        } else if (arguments[i].starts_with('-') || !parsed.folder.empty()) {
            throw std::invalid_argument("unexpected argument '" + std::string(arguments[i]) + "'");
        } else {
            parsed.folder = arguments[i];
        }
    }
    if (parsed.folder.empty()) {
        throw std::invalid_argument("--check needs the game folder");
    }
    return parsed;
}

void printJson(const Problems& problems, std::ostream& out) {
    auto array = nlohmann::json::array();
    for (const Problem& problem : problems) {
        array.push_back({{"file", problem.file},
                         {"line", problem.line},
                         {"severity", severityText(problem.severity)},
                         {"rule", problem.rule},
                         {"nickname", problem.nickname},
                         {"message", problem.message}});
    }
    // The files' bytes are Windows-1252 as often as UTF-8: a byte that is no UTF-8 is U+FFFD.
    out << array.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

} // namespace

int runCheckCommand(std::span<const std::string_view> arguments, std::ostream& out,
                    std::ostream& err) {
    CheckArguments parsed;
    try {
        parsed = parse(arguments);
    } catch (const std::invalid_argument& problem) {
        err << "skarvel: " << problem.what() << "\nTry 'skarvel --help' for more information.\n";
        return 2;
    }
    Problems problems;
    try {
        problems = checkGame(parsed.folder, parsed.rules);
    } catch (const ReadFault& fault) {
        err << "skarvel: " << fault.what() << "\n";
        return 2;
    }
    if (parsed.json) {
        printJson(problems, out);
        err << countLine(problems) << "\n";
    } else {
        for (const Problem& problem : problems) {
            out << problemLine(problem) << "\n";
        }
        out << countLine(problems) << "\n";
    }
    out.flush();
    return countOf(problems, Severity::Error) > 0 ? 1 : 0;
}

} // namespace skarvel::check
