#include "gamedata/PendingChanges.h"

#include "gamedata/FileCheck.h"
#include "gamedata/IniEngine.h"
#include "gamedata/SectionFinder.h"

#include <algorithm>
#include <optional>
#include <set>
#include <stdexcept>
#include <tuple>

namespace skarvel {

namespace {

// The positions of the sections the reference names in the file as it is now.
std::vector<std::size_t> positionsOf(const DataSet& dataSet, const SectionRef& ref) {
    const auto ini = ini::currentIni(dataSet.iniOf(ref).path());
    if (!ini) {
        return {};
    }
    if (ref.byNickname) {
        return ref.idKey.empty() ? sectionsWithNickname(*ini, ref.kind, ref.nickname)
                                 : sectionsWithKeyValue(*ini, ref.kind, ref.idKey, ref.nickname);
    }
    const ini::ParsedIni::Section* section = ini->findSection(ref.kind);
    if (!section) {
        return {};
    }
    return {static_cast<std::size_t>(section - ini->sections().data())};
}

// The key a change sets in the section at that position: its position in keys(), or none
// when the section lacks it.
std::optional<std::size_t> keyOf(const ini::ParsedIni& ini, std::size_t section,
                                 const PendingChange& change) {
    if (!change.line.empty()) {
        const std::vector<std::size_t> keys =
            keysWithFirstField(ini, section, change.key, change.line);
        return keys.empty() ? std::nullopt : std::optional(keys.front());
    }
    const auto* key = ini.findKey(ini.sections()[section], change.key);
    return key ? std::optional(static_cast<std::size_t>(key - ini.keys().data())) : std::nullopt;
}

SectionProblem* problemFor(std::vector<SectionProblem>& problems, const SectionRef& ref) {
    const auto found = std::find_if(problems.begin(), problems.end(),
                                    [&](const SectionProblem& p) { return p.section == ref; });
    return found == problems.end() ? nullptr : &*found;
}

std::string describe(const SectionRef& ref, bool plural) {
    std::string text = "[" + ref.kind + "] section" + (plural ? "s" : "");
    if (ref.byNickname) {
        text += " with the " + (ref.idKey.empty() ? std::string("nickname") : ref.idKey) + " \"" +
                ref.nickname + "\"";
    }
    return text;
}

} // namespace

SectionRef SectionRef::named(SettingsFile file, std::string_view name) {
    return {file, std::string(name), {}, false, {}, {}};
}

SectionRef SectionRef::withNickname(SettingsFile file, std::string_view kind,
                                    std::string_view nickname) {
    return {file, std::string(kind), std::string(nickname), true, {}, {}};
}

SectionRef SectionRef::withKey(SettingsFile file, std::string_view kind, std::string_view idKey,
                               std::string_view value) {
    return {file, std::string(kind), std::string(value), true, std::string(idKey), {}};
}

SectionRef SectionRef::inModFile(std::string path, std::string_view kind,
                                 std::string_view nickname) {
    SectionRef ref = withNickname(SettingsFile::ModFile, kind, nickname);
    ref.path = std::move(path);
    return ref;
}

SectionRef SectionRef::wholeFile(SettingsFile file, std::string path) {
    SectionRef ref = named(file, {});
    ref.path = std::move(path);
    return ref;
}

std::vector<SectionProblem> fileProblems(const DataSet& dataSet,
                                         const std::vector<PendingChange>& changes,
                                         const std::vector<SectionRef>& alsoNeeded) {
    std::vector<SectionProblem> problems;
    std::vector<std::string> checked;
    const auto check = [&](const SectionRef& ref, const std::string* key) {
        const std::string& path = dataSet.iniOf(ref).path();
        if (std::find(checked.begin(), checked.end(), path) == checked.end()) {
            checked.push_back(path);
            // A compressed market_commodities.ini is written as text by the save itself.
            std::string problem =
                dataFileProblem(path, ref.file == SettingsFile::MarketCommodities);
            if (!problem.empty()) {
                problems.push_back({ref, path, 0, {}, std::move(problem)});
            }
        }
        const auto found = std::find_if(problems.begin(), problems.end(),
                                        [&](const SectionProblem& p) { return p.path == path; });
        if (found != problems.end() && key &&
            std::find(found->keys.begin(), found->keys.end(), *key) == found->keys.end()) {
            found->keys.push_back(*key);
        }
    };
    for (const PendingChange& change : changes) {
        check(change.section, &change.key);
    }
    for (const SectionRef& ref : alsoNeeded) {
        check(ref, nullptr);
    }
    return problems;
}

std::vector<SectionProblem> sectionProblems(const DataSet& dataSet,
                                            const std::vector<PendingChange>& changes,
                                            const std::vector<SectionRef>& alsoNeeded) {
    std::vector<SectionProblem> problems = fileProblems(dataSet, changes, alsoNeeded);
    const std::size_t unreadable = problems.size();
    // A set: a column of every ship is thousands of sections.
    std::set<std::tuple<SettingsFile, std::string, std::string, bool, std::string, std::string>>
        checked;
    const auto check = [&](const SectionRef& ref, const std::string* key) {
        const std::string& path = dataSet.iniOf(ref).path();
        if (std::any_of(problems.begin(),
                        problems.begin() + static_cast<std::ptrdiff_t>(unreadable),
                        [&](const SectionProblem& p) { return p.path == path; })) {
            return; // said of the whole file
        }
        if (ref.kind.empty()) {
            return; // the file itself: fileProblems checked it
        }
        if (checked.emplace(ref.file, ref.kind, ref.nickname, ref.byNickname, ref.idKey, ref.path)
                .second) {
            const std::size_t found = positionsOf(dataSet, ref).size();
            if (found != 1) {
                problems.push_back({ref, path, found, {}, {}});
            }
        }
        if (SectionProblem* problem = problemFor(problems, ref); problem && key) {
            problem->keys.push_back(*key);
        }
    };
    for (const PendingChange& change : changes) {
        check(change.section, &change.key);
    }
    for (const SectionRef& ref : alsoNeeded) {
        check(ref, nullptr);
    }
    return problems;
}

std::string describeProblems(const std::vector<SectionProblem>& problems) {
    const bool filesOnly =
        std::all_of(problems.begin(), problems.end(),
                    [](const SectionProblem& problem) { return !problem.fileProblem.empty(); });
    std::string text = filesOnly ? "Nothing was written, because these files cannot take the "
                                   "values as they are now:"
                                 : "Nothing was written, because these values have no single "
                                   "place in the files as they are now:";
    for (const SectionProblem& problem : problems) {
        if (!problem.fileProblem.empty()) {
            text += "\n\r" + problem.path + " " + problem.fileProblem;
        } else {
            text += "\n\r" + problem.path + ": ";
            text += problem.found == 0 ? "there is no " + describe(problem.section, false)
                                       : "there are " + std::to_string(problem.found) + " " +
                                             describe(problem.section, true);
        }
        if (!problem.keys.empty()) {
            std::string keys;
            for (const std::string& key : problem.keys) {
                keys += (keys.empty() ? "" : ", ") + key;
            }
            text += " (" + keys + ")";
        }
    }
    return text;
}

std::vector<OutsideConflict> outsideConflicts(const DataSet& dataSet,
                                              const std::vector<PendingChange>& changes) {
    std::vector<OutsideConflict> conflicts;
    for (const PendingChange& change : changes) {
        const std::string& path = dataSet.iniOf(change.section).path();
        const auto ini = ini::currentIni(path);
        const std::vector<std::size_t> positions = positionsOf(dataSet, change.section);
        if (!ini || positions.size() != 1) {
            continue; // sectionProblems speaks of these
        }
        const auto key = keyOf(*ini, positions.front(), change);
        std::string now = key ? ini->value(ini->keys()[*key]) : std::string();
        if (now != change.loaded) {
            conflicts.push_back({change, path, std::move(now)});
        }
    }
    return conflicts;
}

std::string describeConflicts(const std::vector<OutsideConflict>& conflicts) {
    std::string text = "Another program changed these values in the files since Skarvel read "
                       "them, and you changed them too:";
    for (const OutsideConflict& conflict : conflicts) {
        const SectionRef& ref = conflict.change.section;
        text += "\n\r" + conflict.path + " [" + ref.kind +
                (ref.byNickname ? " " + ref.nickname : std::string()) + "] " + conflict.change.key +
                ": the file's " + conflict.fileValue + ", yours " + conflict.change.value;
    }
    return text;
}

void writeChanges(const DataSet& dataSet, const std::vector<PendingChange>& changes) {
    for (const PendingChange& change : changes) {
        const SectionRef& ref = change.section;
        TUserIniFile& ini = dataSet.iniOf(ref);
        const std::vector<std::size_t> positions = positionsOf(dataSet, ref);
        if (positions.size() != 1) {
            throw std::runtime_error(
                describeProblems({{ref, ini.path(), positions.size(), {change.key}, {}}}));
        }
        if (!ref.byNickname) {
            ini.WriteString(ref.kind, change.key, change.value);
            continue;
        }
        // Written by position: the kind's sections may share their name.
        const auto parsed = ini::currentIni(ini.path());
        const std::string name = parsed->numberedName(parsed->sections()[positions.front()]);
        if (change.line.empty()) {
            ini.WriteStringAt(positions.front(), name, change.key, change.value);
            continue;
        }
        // One of the section's lines of that key, by what it is about.
        const auto key = keyOf(*parsed, positions.front(), change);
        if (!key) {
            throw std::runtime_error("Nothing was written, because " + ini.path() + " has no " +
                                     change.key + " line for " + change.line + " in " +
                                     describe(ref, false));
        }
        ini.WriteStringOfKey(positions.front(), name, *key, change.key, change.value);
    }
}

} // namespace skarvel
