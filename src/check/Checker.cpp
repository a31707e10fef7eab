#include "check/Checker.h"

#include "check/ModFiles.h"
#include "check/ModIndex.h"
#include "gamedata/GameFolderPaths.h"
#include "gamedata/GameNames.h"

#include <algorithm>
#include <tuple>

namespace skarvel::check {

Problems checkGame(const std::string& gameFolder, const std::vector<const Rule*>& selected) {
    std::vector<std::string> filesLooked;
    return checkGame(gameFolder, selected, filesLooked);
}

Problems checkGame(const std::string& gameFolder, const std::vector<const Rule*>& selected,
                   std::vector<std::string>& filesLooked) {
    const ModFiles mod = readModFiles(gameFolder);
    filesLooked = {mod.gameFolder + "EXE/freelancer.ini"};
    for (const SourceFile& file : mod.files) {
        filesLooked.push_back(mod.gameFolder + file.shown);
    }
    for (const UnreadFile& file : mod.unread) {
        filesLooked.push_back(mod.gameFolder + file.shown);
    }
    const ModIndex index = indexOf(mod);
    GameNames names;
    // A DLL that cannot be read only means its names are not judged.
    names.load(*mod.folder, [](const std::string&, const std::string&) {});
    UncheckedReferences unchecked(mod);
    const CheckContext context{mod, index, names, unchecked};

    Problems problems;
    if (selected.empty()) {
        for (const Rule& rule : rules()) {
            rule.run(context, problems);
        }
    } else {
        for (const Rule* rule : selected) {
            rule->run(context, problems);
        }
    }
    const Problems counts = unchecked.countLines();
    problems.insert(problems.end(), counts.begin(), counts.end());
    std::ranges::stable_sort(
        problems, {}, [](const Problem& problem) { return std::tie(problem.file, problem.line); });
    return problems;
}

} // namespace skarvel::check
