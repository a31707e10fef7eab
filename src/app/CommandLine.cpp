#include "app/CommandLine.h"

#include "Version.h"
#include "app/Contact.h"
#include "check/CheckCommand.h"
#include "check/Rules.h"
#include "commands/ExportCommand.h"
#include "journal/Format.h"
#include "journal/VersionInfo.h"
#include "platform/SystemFacts.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

namespace {

constexpr char kHelpStart[] =
    "Usage: skarvel [--help | --version]\n"
    "       skarvel --check GAME_FOLDER [--format text|json|sarif] [--rules id,id]\n"
    "               [--baseline FILE] [--write-baseline FILE]\n"
    "       skarvel --export KIND GAME_FOLDER [--format csv|json]\n"
    "Freelancer Skarvel, the editor for the ships and game values of Freelancer.\n"
    "\n"
    "  -h, --help     show this text and exit\n"
    "  --version      show the version and exit\n"
    "  --demo         start on a demo game: a fresh copy of the one shipped with\n"
    "                 Skarvel, laid out as a Wine prefix in $XDG_DATA_HOME/Skarvel/demo/\n"
    "                 (else ~/.local/share/Skarvel/demo/); asks before it replaces an\n"
    "                 earlier copy\n"
    "  --check        check the mod in GAME_FOLDER without a window and without\n"
    "                 writing any file: one problem a line (path:line: severity:\n"
    "                 [rule] message), a JSON array (--format json) or a SARIF 2.1.0\n"
    "                 log (--format sarif), then the count; --rules runs only the\n"
    "                 rules named. --baseline FILE (the JSON output of an earlier\n"
    "                 run) shows and counts only the problems it lacks;\n"
    "                 --write-baseline FILE writes one. A file larger than 64 MB is\n"
    "                 reported, not read. Exit code 0 without errors, 1 with errors,\n"
    "                 2 when the game cannot be read or the report not written.\n"
    "  --export       write the EQUIPMENT page's table of one kind of the mod in\n"
    "                 GAME_FOLDER to standard output, without a window and\n"
    "                 without writing any file: CSV (the default) or a JSON array\n"
    "                 (--format json). KIND is ships (the FLEET page's table) or a\n"
    "                 section kind of the equipment files (Gun, Munition,\n"
    "                 MissileLauncher, Motor, Explosion,\n"
    "                 MineDropper, Mine, CounterMeasureDropper, CounterMeasure,\n"
    "                 ShieldGenerator, Thruster, Armor, CloakingDevice, Scanner,\n"
    "                 Tractor, Power, Engine, RepairKit, ShieldBattery or any other\n"
    "                 the mod has). Columns: nickname, name (the game's), good.price,\n"
    "                 every key of the kind's sections, the keys of the sections a\n"
    "                 row names as munition.KEY, motor.KEY, explosion.KEY, then the\n"
    "                 derived values: derived.hull_dps, derived.shield_dps,\n"
    "                 derived.energy_per_second, derived.range (guns and launchers),\n"
    "                 derived.time_to_full, derived.time_to_full_offline (shields),\n"
    "                 derived.force_per_energy (thrusters); ships have the FLEET\n"
    "                 page's keys, its speeds as derived.engine_speed and\n"
    "                 derived.reverse_speed. Exit code 0, or 2 when\n"
    "                 the game cannot be read, the kind is not there or the table\n"
    "                 not written.\n";

constexpr char kHelpEnd[] =
    "\n"
    "Without options it opens its window and finds the game in the Wine prefix\n"
    "($WINEPREFIX, else ~/.wine). Its journal DebugOut_yyyy-mm-dd.mjf and the copies of the\n"
    "changed files (data/) go into its own folder or, when that folder cannot be written\n"
    "or lies below /usr, into ~/.local/state/Skarvel/ and ~/.local/share/Skarvel/data/\n"
    "(below $XDG_STATE_HOME and $XDG_DATA_HOME when they are set).\n"
    "Before it changes the game's files it backs up the six files it edits into\n"
    "$XDG_DATA_HOME/Skarvel/backups/ (else ~/.local/share/Skarvel/backups/), a folder per\n"
    "game. BackupDays in ~/.config/Skarvel/Skarvel.conf is how many days of daily backups\n"
    "are kept (default 30, 0 keeps all). The BACKUP page lists the backups and restores\n"
    "any of them.\n"
    "Qt's own options, such as -platform or -style, are passed on.\n";

// "Rules: a, b, ..." from the checker's table, wrapped below the option texts.
std::string ruleLines() {
    constexpr std::string_view kIndent = "                 ";
    constexpr std::size_t kWidth = 78;
    std::string text;
    std::string line = std::string(kIndent) + "Rules:";
    const auto all = check::rules();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::string word = " " + std::string(all[i].id) + (i + 1 < all.size() ? "," : ".");
        if (line.size() + word.size() > kWidth) {
            text += line + "\n";
            line = std::string(kIndent) + word.substr(1);
        } else {
            line += word;
        }
    }
    return text + line + "\n";
}

// Qt's options that the application object takes; the first ones are followed by a value.
constexpr auto kQtValueOptions = std::to_array<std::string_view>(
    {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
     "qwindowtitle", "session", "display", "style", "stylesheet"});
constexpr auto kQtFlags = std::to_array<std::string_view>({"reverse"});

template <std::size_t N>
bool listed(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The option's name without its one or two dashes and without "=value".
std::string_view qtOptionName(std::string_view argument) {
    argument.remove_prefix(argument.starts_with("--") ? 2 : 1);
    return argument.substr(0, argument.find('='));
}

int usageError(std::ostream& err, const std::string& problem) {
    err << "skarvel: " << problem << "\nTry 'skarvel --help' for more information.\n";
    err.flush();
    return 2;
}

} // namespace

std::string programVersionText() {
    TVersionInfo info;
    if (!ReadVersionInfo(executablePath(), info)) {
        return "0";
    }
    return formatText("%d.%d.%d build %d", {info.major, info.minor, info.release, info.build});
}

bool asksForDemo(int argc, char* argv[]) {
    return argc > 1 && std::any_of(argv + 1, argv + argc, [](const char* argument) {
               return std::string_view(argument) == "--demo";
           });
}

std::optional<int> answerCommandLine(int argc, char* argv[], std::ostream& out, std::ostream& err) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--check") {
            std::vector<std::string_view> rest(argv + 1, argv + argc);
            rest.erase(rest.begin() + (i - 1));
            return check::runCheckCommand(rest, out, err);
        }
        if (argument == "--export") {
            std::vector<std::string_view> rest(argv + i + 1, argv + argc);
            return runExportCommand(rest, out, err);
        }
        if (argument == "-h" || argument == "--help") {
            out << kHelpStart << ruleLines() << kHelpEnd
                << contactText("\nComments or suggestions to ", "\n");
            out.flush();
            return 0;
        }
        if (argument == "--version") {
            out << "Freelancer Skarvel " << programVersionText() << "\n";
            out.flush();
            return 0;
        }
        if (argument == "--demo") {
            continue;
        }
        if (argument.size() < 2 || argument.front() != '-') {
            return usageError(err, "unexpected argument '" + std::string(argument) + "'");
        }
        const std::string_view name = qtOptionName(argument);
        const bool withValue = argument.find('=') != std::string_view::npos;
        if (listed(kQtFlags, name) && !withValue) {
            continue;
        }
        if (listed(kQtValueOptions, name)) {
            if (!withValue && ++i >= argc) {
                return usageError(err, "option '" + std::string(argument) + "' needs a value");
            }
            continue;
        }
        return usageError(err, "unknown option '" + std::string(argument) + "'");
    }
    return std::nullopt;
}

} // namespace skarvel
