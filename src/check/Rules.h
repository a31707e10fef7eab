#pragma once

#include "check/ModIndex.h"
#include "check/Problem.h"
#include "check/UncheckedReferences.h"

#include <span>
#include <string_view>

namespace skarvel {
class GameNames;
}

namespace skarvel::check {

// What every rule reads: the files, their nicknames and the game's names; and where a rule
// counts the references it cannot judge.
struct CheckContext {
    const ModFiles& mod;
    const ModIndex& index;
    const GameNames& names;
    UncheckedReferences& unchecked;
};

// One check: its id (for --rules and the filter), the severity of what it finds (a rule may
// add warnings of its own), a line saying what it looks for, and the function that looks.
struct Rule {
    std::string_view id;
    Severity severity;
    std::string_view text;
    void (*run)(const CheckContext& context, Problems& problems);
};

// Every rule, in the order they run.
std::span<const Rule> rules();
const Rule* findRule(std::string_view id);

} // namespace skarvel::check
