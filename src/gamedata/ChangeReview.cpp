#include "gamedata/ChangeReview.h"

#include "gamedata/GameNames.h"
#include "gamedata/IniEngine.h"
#include "gamedata/SectionFinder.h"
#include "gamedata/SectionHeader.h"
#include "gamedata/TextParts.h"
#include "platform/LineEnds.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace skarvel {

namespace {

FileEdit* editOf(std::vector<FileEdit>& edits, const std::string& path) {
    const auto found = std::find_if(edits.begin(), edits.end(),
                                    [&](const FileEdit& edit) { return edit.path == path; });
    return found == edits.end() ? nullptr : &*found;
}

// Where each section's text begins and ends in the bytes; [0, first header) comes first.
std::vector<std::pair<std::size_t, std::size_t>> sectionSpans(const ini::ParsedIni& ini) {
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    const auto& sections = ini.sections();
    std::size_t begin = 0;
    for (const auto& section : sections) {
        spans.emplace_back(begin, section.lineBegin);
        begin = section.lineBegin;
    }
    spans.emplace_back(begin, ini.bytes().size());
    return spans;
}

// The kind of a numbered section without its number, by the numbering's own header rule:
// a plain header kept in the files answers to the same kind.
std::string_view kindOf(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section) {
    const std::string_view header = ini.headerLine(section);
    for (const std::string_view kind : kNumberedKinds) {
        if (matchKindHeader(header, kind)) {
            return kind;
        }
    }
    return ini.name(section);
}

// Each run of changed lines of a section as "@@ line N @@", the section's title (where its
// header stays) and the run. N is the line of the file before the save where the run begins.
void reviewSection(std::vector<DiffLine>& lines, std::string_view before, std::string_view after,
                   std::size_t lineNumber, const std::string& title) {
    const std::string_view header = firstLine(before);
    const bool headerStays = !header.empty() && !title.empty() && firstLine(after) == header;
    // Sections are short: the whole of it is compared, every unchanged line kept.
    const std::vector<DiffLine> all = lineDiff(before, after, std::numeric_limits<int>::max() / 2);
    std::size_t line = lineNumber;
    for (std::size_t i = 0; i < all.size();) {
        if (all[i].mark == ' ') {
            ++line;
            ++i;
            continue;
        }
        lines.push_back({'@', "@@ line " + std::to_string(line) + " @@"});
        if (headerStays) {
            lines.push_back({' ', title});
        }
        for (; i < all.size() && all[i].mark != ' '; ++i) {
            line += all[i].mark == '-' ? 1 : 0;
            lines.push_back(all[i]);
        }
    }
}

} // namespace

SectionNames gameNamesOf(const GameNames& names) {
    return [&names](const ini::ParsedIni& ini, const ini::ParsedIni::Section& section) {
        const ini::ParsedIni::Key* id = ini.findKey(section, "ids_name");
        return id == nullptr ? std::string() : trimControl(names.text(ini.value(*id)));
    };
}

std::string sectionTitle(const ini::ParsedIni& ini, const ini::ParsedIni::Section& section,
                         const SectionNames& names) {
    std::string title = "[" + std::string(kindOf(ini, section)) + "]";
    for (const std::string_view idKey : {"nickname", "base"}) {
        if (const ini::ParsedIni::Key* key = ini.findKey(section, idKey)) {
            if (const std::string id = ini.value(*key); !id.empty()) {
                title += " " + id;
                break;
            }
        }
    }
    if (names) {
        if (const std::string name = names(ini, section); !name.empty()) {
            title += " (" + name + ")";
        }
    }
    return title;
}

std::vector<FileEdit> editsOf(const DataSet& dataSet, const std::vector<PendingChange>& changes) {
    std::vector<FileEdit> edits;
    std::vector<std::shared_ptr<ini::ParsedIni>> parses;
    for (const PendingChange& change : changes) {
        const SectionRef& ref = change.section;
        const std::string& path = dataSet.iniOf(ref).path();
        FileEdit* edit = editOf(edits, path);
        if (edit == nullptr) {
            const auto now = ini::currentIni(path);
            if (!now) {
                continue;
            }
            edits.push_back({ref.file, path, now->bytes(), {}, now, nullptr});
            parses.push_back(std::make_shared<ini::ParsedIni>(*now));
            edit = &edits.back();
        }
        if (change.value.empty()) {
            continue; // the save writes no empty value
        }
        ini::ParsedIni& parse = *parses[static_cast<std::size_t>(edit - edits.data())];
        if (!ref.byNickname) {
            parse.assignValue(ref.kind, change.key, change.value);
            continue;
        }
        const std::vector<std::size_t> positions =
            ref.idKey.empty() ? sectionsWithNickname(parse, ref.kind, ref.nickname)
                              : sectionsWithKeyValue(parse, ref.kind, ref.idKey, ref.nickname);
        if (positions.size() != 1) {
            continue;
        }
        if (change.line.empty()) {
            parse.assignValueAt(positions.front(), change.key, change.value);
        } else if (const auto keys =
                       keysWithFirstField(parse, positions.front(), change.key, change.line);
                   !keys.empty()) {
            parse.assignValueOfKey(keys.front(), change.value);
        }
    }
    for (std::size_t i = 0; i < edits.size(); ++i) {
        edits[i].after = parses[i]->bytes();
        edits[i].parsedAfter = parses[i];
    }
    return edits;
}

std::vector<FileReview> reviewOf(const std::vector<FileEdit>& edits, const SectionNames& names) {
    std::vector<FileReview> reviews;
    for (const FileEdit& edit : edits) {
        if (edit.before == edit.after) {
            continue;
        }
        // Section by section: a change touches few of them, and a whole-file difference of
        // a large file would cost far more.
        const auto parseOf = [](const std::shared_ptr<const ini::ParsedIni>& parsed,
                                const std::string& bytes) {
            return parsed && parsed->bytes() == bytes
                       ? parsed
                       : std::make_shared<const ini::ParsedIni>(bytes);
        };
        const auto parsedBefore = parseOf(edit.parsedBefore, edit.before);
        const auto parsedAfter = parseOf(edit.parsedAfter, edit.after);
        const ini::ParsedIni& before = *parsedBefore;
        const ini::ParsedIni& after = *parsedAfter;
        const auto spansBefore = sectionSpans(before);
        const auto spansAfter = sectionSpans(after);
        FileReview review{edit.path, {}};
        // Line numbers counted on from the section before: a count from the start for every
        // changed section is quadratic when a column of every ship changes.
        std::size_t counted = 0;
        std::size_t line = 1;
        for (std::size_t i = 0; i < std::max(spansBefore.size(), spansAfter.size()); ++i) {
            const auto textOf = [i](const std::string& bytes, const auto& spans) {
                return i < spans.size() ? std::string_view(bytes).substr(
                                              spans[i].first, spans[i].second - spans[i].first)
                                        : std::string_view();
            };
            const std::string_view old = textOf(edit.before, spansBefore);
            const std::string_view now = textOf(edit.after, spansAfter);
            if (old != now) {
                const std::size_t offset =
                    i < spansBefore.size() ? spansBefore[i].first : edit.before.size();
                line +=
                    lineNumberAt(std::string_view(edit.before).substr(counted), offset - counted) -
                    1;
                counted = offset;
                // Span i holds section i - 1; span 0 is the text before the first header.
                const std::string title =
                    i > 0 && i <= before.sections().size()
                        ? sectionTitle(before, before.sections()[i - 1], names)
                        : std::string();
                reviewSection(review.lines, old, now, line, title);
            }
        }
        reviews.push_back(std::move(review));
    }
    return reviews;
}

std::vector<FileReview> reviewChanges(const DataSet& dataSet,
                                      const std::vector<PendingChange>& changes,
                                      const SectionNames& names) {
    return reviewOf(editsOf(dataSet, changes), names);
}

std::string reviewText(const std::vector<FileReview>& reviews) {
    std::string text;
    for (const FileReview& review : reviews) {
        text += "--- " + review.path + "\n+++ " + review.path + "\n";
        for (const DiffLine& line : review.lines) {
            text += line.mark == '@' ? line.text : std::string(1, line.mark) + line.text;
            text += '\n';
        }
    }
    return text;
}

} // namespace skarvel
