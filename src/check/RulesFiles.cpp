// The rules on what the bytes of the files hide and on the files they name.
#include "check/RuleFunctions.h"
#include "gamedata/GameFolderPaths.h"
#include "gamedata/SectionHeader.h"
#include "platform/AsciiText.h"
#include "platform/LineEnds.h"

#include <array>
#include <cstdio>
#include <optional>

namespace skarvel::check::rule {

namespace {

// Keys whose value is a path below DATA that the game opens when it loads the section.
constexpr auto kPathKeys =
    std::to_array<std::string_view>({"DA_archetype", "material_library", "file"});

// universe.ini's [System] and [Base] name their files by other rules of the game (a system's
// file lies below the universe folder); the universe rule judges them.
bool judgedByUniverseRule(const SourceFile& file, std::string_view kind) {
    return file.role == FileRole::Universe &&
           (equalsIgnoringCase(kind, "System") || equalsIgnoringCase(kind, "Base"));
}

struct Invisible {
    std::string_view bytes;
    std::string_view name;
};
// What an editor shows as nothing, or as a blank, but the game reads as a byte.
constexpr auto kInvisibles = std::to_array<Invisible>({
    {"\xEF\xBB\xBF", "a byte order mark (EF BB BF)"},
    {"\xE2\x80\x8B", "a zero-width space (E2 80 8B)"},
    {"\xE2\x80\x8C", "a zero-width non-joiner (E2 80 8C)"},
    {"\xE2\x80\x8D", "a zero-width joiner (E2 80 8D)"},
    {"\xE2\x81\xA0", "a word joiner (E2 81 A0)"},
    {"\xC2\xA0", "a no-break space (C2 A0)"},
    {"\xA0", "a no-break space (A0)"},
});

// The length of the invisible bytes at the start of text, and the name of the first.
std::size_t invisibleAt(std::string_view text, std::string& name) {
    for (const Invisible& invisible : kInvisibles) {
        if (text.starts_with(invisible.bytes)) {
            name = invisible.name;
            return invisible.bytes.size();
        }
    }
    const auto byte = static_cast<unsigned char>(text.front());
    if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02X", byte);
        name = std::string("a control byte (") + hex + ")";
        return 1;
    }
    return 0;
}

// The name of the first invisible byte when only such bytes and blanks stand before a "["
// that therefore opens no section.
std::optional<std::string> hiddenHeader(std::string_view line) {
    std::string first;
    for (std::size_t at = 0; at < line.size();) {
        if (isBlank(line[at])) {
            ++at;
            continue;
        }
        if (line[at] == '[') {
            return first.empty() ? std::nullopt : std::optional<std::string>(first);
        }
        std::string name;
        const std::size_t length = invisibleAt(line.substr(at), name);
        if (length == 0) {
            return std::nullopt;
        }
        if (first.empty()) {
            first = name;
        }
        at += length;
    }
    return std::nullopt;
}

// The header as the modder wrote it, without what hides it: "[Ship]".
std::string shownHeader(std::string_view line) {
    line.remove_prefix(line.find('['));
    const std::size_t close = line.find(']');
    return std::string(line.substr(0, close == std::string_view::npos ? 40 : close + 1));
}

} // namespace

void hiddenSections(const CheckContext& context, Problems& problems) {
    for (const SourceFile& file : context.mod.files) {
        const auto& ini = *file.ini;
        const std::string_view bytes = ini.bytes();
        const auto report = [&](std::string_view text, const std::string& hidden, int line) {
            problems.push_back({Severity::Error,
                                "hidden-section",
                                file.shown,
                                line,
                                {},
                                hidden + " stands before " + quoted(shownHeader(text)) +
                                    ": the game does not see this section"});
        };
        // Lines before the first header reach no key of the parse: walked one by one. A byte
        // order mark in front of the first line is the file's own; the parser skips it.
        const std::size_t firstHeader =
            ini.sections().empty() ? bytes.size() : ini.sections().front().lineBegin;
        int line = 0;
        forEachLine(bytes.substr(0, firstHeader), [&](LineWithEnd each) {
            ++line;
            if (const auto hidden = hiddenHeader(withoutFileStartMark(each.text, line == 1))) {
                report(each.text, *hidden, line);
            }
        });
        // Every later line that hides a header is a key of the section above it, its name
        // starting at the first byte that is not a blank.
        for (const auto& key : ini.keys()) {
            const auto first = static_cast<unsigned char>(bytes[key.nameBegin]);
            if (first > ' ' && first < 0x7F) {
                continue; // a plain key line
            }
            const std::string_view text = bytes.substr(key.nameBegin, key.lineEnd - key.nameBegin);
            if (const auto hidden = hiddenHeader(text)) {
                report(text, *hidden, file.lineOf(key.nameBegin));
            }
        }
    }
}

void namedFiles(const CheckContext& context, Problems& problems) {
    const GameFolderPaths& folder = *context.mod.folder;
    for (const SourceFile& file : context.mod.files) {
        const auto& ini = *file.ini;
        for (const auto& section : ini.sections()) {
            const std::string_view kind = sectionKind(ini.name(section));
            if (judgedByUniverseRule(file, kind)) {
                continue;
            }
            Definition definition{&file, &section, {}};
            definition.nickname = definition.value("nickname");
            for (const std::string_view key : kPathKeys) {
                for (const auto* named : definition.keys(key)) {
                    const std::string path = ini.value(*named);
                    if (path.empty()) {
                        continue;
                    }
                    const GameFolderPaths::Resolved resolved = folder.resolve("DATA", path);
                    if (!resolved.found()) {
                        problems.push_back(definition.problem(
                            Severity::Error, "named-file", lineOf(definition, *named),
                            std::string(key) + " " + quoted(path) + " " + resolved.refusal));
                    }
                }
            }
        }
    }
}

} // namespace skarvel::check::rule
