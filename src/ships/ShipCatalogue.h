#pragma once

#include <string>
#include <string_view>

namespace skarvel {

class DataSet;
class Form;
class TUserIniFile;

inline constexpr std::string_view kUnknownShipName = "Unknown Ship (editable)";
inline constexpr std::string_view kMissingIdsName = "*fail";

// The display name of a ship's ids_name value, from the "Resource" section of the editor's
// own resource.ini, in UTF-8 (the file holds the game's Windows-1252 bytes).
std::string ShipDisplayName(const TUserIniFile& resourceIni, std::string_view idsName);

// Refills lbShips: one entry per ship section, in file order, so that entry k is "Ship" + k.
// A ship's name is the game's own string for its ids_name (trimmed, if not empty), else its
// line of resource.ini, else kUnknownShipName; all in UTF-8, so that the list shows every
// character the game's DLLs hold.
void FillShipList(DataSet& dataSet, Form& form);

} // namespace skarvel
