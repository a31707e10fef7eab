#pragma once

#include "check/Rules.h"

#include <vector>

// The rules' functions, by the files they read; Rules.cpp puts them in the table.
namespace skarvel::check::rule {

void duplicateNicknames(const CheckContext& context, Problems& problems);
void shipHulls(const CheckContext& context, Problems& problems);
void packageHulls(const CheckContext& context, Problems& problems);
void missingAddons(const CheckContext& context, Problems& problems);
void addonHardpoints(const CheckContext& context, Problems& problems);
void numbers(const CheckContext& context, Problems& problems);
void names(const CheckContext& context, Problems& problems);
void marketBases(const CheckContext& context, Problems& problems);
void character(const CheckContext& context, Problems& problems);
void files(const CheckContext& context, Problems& problems);
void namedFiles(const CheckContext& context, Problems& problems);
void hiddenSections(const CheckContext& context, Problems& problems);

void marketDuplicates(const CheckContext& context, Problems& problems);
void loadoutItems(const CheckContext& context, Problems& problems);
void loadoutHardpoints(const CheckContext& context, Problems& problems);
void archetypes(const CheckContext& context, Problems& problems);
void baseSystems(const CheckContext& context, Problems& problems);
void systemLinks(const CheckContext& context, Problems& problems);
void unknownKeys(const CheckContext& context, Problems& problems);
void missingKeys(const CheckContext& context, Problems& problems);
void fieldCounts(const CheckContext& context, Problems& problems);

// Helpers the rules share.
std::string quoted(std::string_view text);
int lineOf(const Definition& definition, const ini::ParsedIni::Key& key);
// The category of a good ("shiphull", "ship"), compared without regard to letter case.
bool hasCategory(const Definition& good, std::string_view category);
// True, and counted, when equipment or goods files were not read: an item may stand in them.
bool uncheckable(const CheckContext& context);
// Every section of the files of that role, its nickname from its nickname key.
std::vector<Definition> sectionsOf(const ModFiles& mod, FileRole role);
// Every [BaseGood] section of the market files, its nickname the base it is for.
std::vector<Definition> markets(const ModFiles& mod);

} // namespace skarvel::check::rule
