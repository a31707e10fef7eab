#include "commands/ExportCommand.h"

#include "check/ModFiles.h"
#include "gamedata/GameNames.h"
#include "tables/EquipmentExport.h"
#include "tables/EquipmentTable.h"

#include <ostream>
#include <stdexcept>
#include <string>

namespace skarvel {

namespace {

struct ExportArguments {
    std::string kind;
    std::string folder;
    bool json = false;
};

ExportArguments parse(std::span<const std::string_view> arguments) {
    ExportArguments parsed;
    std::size_t positional = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        std::string_view format;
        if (argument == "--format") {
            if (++i >= arguments.size()) {
                throw std::invalid_argument("option '--format' needs a value");
            }
            format = arguments[i];
        } else if (argument.starts_with("--format=")) {
            format = argument.substr(9);
        } else if (argument.starts_with('-') || positional == 2) {
            throw std::invalid_argument("unexpected argument '" + std::string(argument) + "'");
        } else {
            (positional++ == 0 ? parsed.kind : parsed.folder) = argument;
            continue;
        }
        if (format != "csv" && format != "json") {
            throw std::invalid_argument("unknown format '" + std::string(format) + "'");
        }
        parsed.json = format == "json";
    }
    if (positional < 2) {
        throw std::invalid_argument("--export needs the kind and the game folder");
    }
    return parsed;
}

std::string kindList(const EquipmentTables& tables) {
    std::string list;
    for (const EquipmentKind& kind : tables.kinds()) {
        list += (list.empty() ? "" : ", ") + kind.kind;
    }
    return list.empty() ? "none" : list;
}

} // namespace

int runExportCommand(std::span<const std::string_view> arguments, std::ostream& out,
                     std::ostream& err) {
    ExportArguments parsed;
    try {
        parsed = parse(arguments);
    } catch (const std::invalid_argument& problem) {
        err << "skarvel: " << problem.what() << "\nTry 'skarvel --help' for more information.\n";
        return 2;
    }
    std::string table;
    try {
        const check::ModFiles mod = check::readModFiles(parsed.folder);
        for (const check::Problem& problem : mod.fileProblems) {
            err << "skarvel: " << problem.file << ": " << problem.message << "\n";
        }
        GameNames names;
        names.load(*mod.folder, [](const std::string&, const std::string&) {});
        const EquipmentTables tables = EquipmentTables::read(mod, names);
        const EquipmentKind* kind = tables.find(parsed.kind);
        if (!kind) {
            err << "skarvel: the equipment files have no section of the kind '" << parsed.kind
                << "'; kinds: " << kindList(tables) << "\n";
            return 2;
        }
        table = parsed.json ? equipmentJson(*kind) + "\n" : equipmentCsv(*kind);
    } catch (const std::runtime_error& fault) {
        err << "skarvel: " << fault.what() << "\n";
        return 2;
    }
    out << table;
    out.flush();
    if (!out) {
        err << "skarvel: the table could not be written\n";
        return 2;
    }
    return 0;
}

} // namespace skarvel
