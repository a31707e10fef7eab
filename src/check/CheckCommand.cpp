#include "check/CheckCommand.h"

#include "check/Baseline.h"
#include "check/CheckOutput.h"
#include "check/Checker.h"
#include "check/ModFiles.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace skarvel::check {

namespace {

struct CheckArguments {
    std::string folder;
    OutputFormat format = OutputFormat::Text;
    std::vector<const Rule*> rules;
    std::string baseline;
    std::string writtenBaseline;
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

// Each rule once, in the order given, however often it is named.
std::vector<const Rule*> ruleList(std::string_view ids) {
    std::vector<const Rule*> selected;
    for (const std::string& id : listItems(ids)) {
        const Rule* rule = findRule(id);
        if (!rule) {
            throw std::invalid_argument("unknown rule '" + id + "'");
        }
        if (std::ranges::find(selected, rule) == selected.end()) {
            selected.push_back(rule);
        }
    }
    return selected;
}

OutputFormat formatNamed(std::string_view name) {
    if (name == "text") {
        return OutputFormat::Text;
    }
    if (name == "json") {
        return OutputFormat::Json;
    }
    if (name == "sarif") {
        return OutputFormat::Sarif;
    }
    throw std::invalid_argument("unknown format '" + std::string(name) + "'");
}

CheckArguments parse(std::span<const std::string_view> arguments) {
    CheckArguments parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (const auto format = optionValue(arguments, i, "--format")) {
            parsed.format = formatNamed(*format);
        } else if (const auto ids = optionValue(arguments, i, "--rules")) {
            parsed.rules = ruleList(*ids);
        } else if (const auto baseline = optionValue(arguments, i, "--baseline")) {
            parsed.baseline = *baseline;
        } else if (const auto written = optionValue(arguments, i, "--write-baseline")) {
            parsed.writtenBaseline = *written;
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

std::string absoluteFolder(const std::string& folder) {
    std::error_code ignored;
    return std::filesystem::absolute(folder, ignored).lexically_normal().string();
}

void print(const CheckArguments& parsed, const Problems& problems, std::ostream& out,
           std::ostream& err) {
    switch (parsed.format) {
    case OutputFormat::Text:
        for (const Problem& problem : problems) {
            out << problemLine(problem) << "\n";
        }
        out << countLine(problems) << "\n";
        return;
    case OutputFormat::Json:
        out << problemsJson(problems) << "\n";
        break;
    case OutputFormat::Sarif:
        out << sarifLog(problems, absoluteFolder(parsed.folder)) << "\n";
        break;
    }
    // On err, so that out stays one JSON document.
    err << countLine(problems) << "\n";
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
        // The baseline first: a mistyped name must not cost a whole check.
        const std::optional<Baseline> baseline =
            parsed.baseline.empty() ? std::nullopt
                                    : std::optional<Baseline>(Baseline::read(parsed.baseline));
        problems = checkGame(parsed.folder, parsed.rules);
        if (!parsed.writtenBaseline.empty()) {
            writeBaseline(parsed.writtenBaseline, problems);
        }
        if (baseline) {
            const std::size_t found = problems.size();
            problems = baseline->newProblems(problems);
            err << "skarvel: " << found - problems.size() << " of " << found
                << " problems are in the baseline and not shown\n";
        }
    } catch (const std::runtime_error& fault) {
        err << "skarvel: " << fault.what() << "\n";
        return 2;
    }
    print(parsed, problems, out, err);
    out.flush();
    if (!out) {
        // A full disk or a closed pipe: a script must not take a cut report for a clean one.
        err << "skarvel: the report could not be written\n";
        return 2;
    }
    return countOf(problems, Severity::Error) > 0 ? 1 : 0;
}

} // namespace skarvel::check
