#include "check/Checker.h"

#include "check/ModFiles.h"
#include "check/ModIndex.h"
#include "gamedata/GameFolderPaths.h"
#include "gamedata/GameNames.h"

#include <algorithm>
#include <tuple>

namespace skarvel::check {

Problems checkGame(const std::string& gameFolder, const std::vector<const Rule*>& selected) {
    const ModFiles mod = readModFiles(gameFolder);
    const ModIndex index = indexOf(mod);
    GameNames names;
    // A DLL that cannot be read only means its names are not judged.
    names.load(*mod.folder, [](const std::string&, const std::string&) {});
    const CheckContext context{mod, index, names};

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
    std::ranges::stable_sort(
        problems, {}, [](const Problem& problem) { return std::tie(problem.file, problem.line); });
    return problems;
}

} // namespace skarvel::check
