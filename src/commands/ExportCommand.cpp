#include "commands/ExportCommand.h"

#include "check/ModFiles.h"
#include "gamedata/GameNames.h"
#include "gamedata/IniEngine.h"
#include "journal/Encoding.h"
#include "platform/AsciiText.h"
#include "platform/CaseInsensitivePath.h"
#include "platform/SystemFacts.h"
#include "ships/Numbers.h"
#include "ships/ShipCatalogue.h"
#include "tables/CsvText.h"
#include "tables/EquipmentExport.h"
#include "tables/EquipmentTable.h"
#include "tables/FleetColumns.h"
#include "tables/FleetTable.h"

#include <filesystem>
#include <nlohmann/json.hpp>
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

// The ships' table as the Fleet page shows it, its derived speeds as derived.<name>. A ship's
// name is the game's for its ids_name, else the line of the program's resource.ini.
std::string shipsTable(const check::ModFiles& mod, const GameNames& names, bool json) {
    const FleetFiles files = FleetFiles::of(mod);
    const auto resource = ini::currentIni(resolveCaseInsensitive(
        std::filesystem::path(executablePath()).parent_path().string() + "/resource.ini"));
    const ini::ParsedIni::Section* resourceNames =
        resource ? resource->findSection("Resource") : nullptr;
    std::vector<std::string> shipNames;
    if (const auto shipArch = files.parse(SettingsFile::ShipArch)) {
        for (const std::string& section : files.sections.ships) {
            const auto* found = shipArch->findSection(section);
            const auto* ids = found ? shipArch->findKey(*found, "ids_name") : nullptr;
            const std::string idsName = ids ? shipArch->value(*ids) : std::string();
            std::string name(trimBlanks(names.text(idsName)));
            if (name.empty() && resourceNames && !idsName.empty()) {
                if (const auto* line = resource->findKey(*resourceNames, idsName)) {
                    name = fromCp1252(resource->value(*line));
                }
            }
            shipNames.push_back(name.empty() ? std::string(kUnknownShipName) : name);
        }
    }
    const FleetTable table = FleetTable::read(files, shipNames);
    const auto columns = fleetColumns();
    const auto keyOf = [](const FleetColumn& column) {
        const bool derived =
            column.source == FleetSource::EngineSpeed || column.source == FleetSource::ReverseSpeed;
        return (derived ? "derived." : "") + column.key;
    };
    const auto textOf = [](const FleetColumn& column, const std::string& cell) {
        return column.source == FleetSource::Name ? cell : fromCp1252(cell);
    };
    if (json) {
        nlohmann::ordered_json rows = nlohmann::ordered_json::array();
        for (const FleetShip& ship : table.rows()) {
            nlohmann::ordered_json row = nlohmann::ordered_json::object();
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const std::string& cell = ship.cells[c];
                const bool derived = keyOf(columns[c]).starts_with("derived.");
                if (cell.empty()) {
                    row[keyOf(columns[c])] = nullptr;
                } else if (derived && readNumber(cell)) {
                    row[keyOf(columns[c])] = *readNumber(cell);
                } else {
                    row[keyOf(columns[c])] = textOf(columns[c], cell);
                }
            }
            rows.push_back(std::move(row));
        }
        return rows.dump(1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
    }
    std::vector<std::string> fields;
    for (const FleetColumn& column : columns) {
        fields.push_back(keyOf(column));
    }
    std::string text = csvLine(fields);
    for (const FleetShip& ship : table.rows()) {
        fields.clear();
        for (std::size_t c = 0; c < columns.size(); ++c) {
            fields.push_back(csvCell(textOf(columns[c], ship.cells[c]), columns[c].numeric));
        }
        text += csvLine(fields);
    }
    return text;
}

std::string kindList(const EquipmentTables& tables) {
    std::string list = "ships";
    for (const EquipmentKind& kind : tables.kinds()) {
        list += ", " + kind.kind;
    }
    return list;
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
        if (equalsIgnoringCase(parsed.kind, "ships")) {
            table = shipsTable(mod, names, parsed.json);
        } else if (!kind) {
            err << "skarvel: the equipment files have no section of the kind '" << parsed.kind
                << "'; kinds: " << kindList(tables) << "\n";
            return 2;
        } else {
            table = parsed.json ? equipmentJson(*kind) + "\n" : equipmentCsv(*kind);
        }
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
