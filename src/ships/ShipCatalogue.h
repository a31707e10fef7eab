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
// own resource.ini, used exactly as read.
std::string ShipDisplayName(const TUserIniFile& resourceIni, std::string_view idsName);

// Refills lbShips: one entry per ship section, in file order, so that entry k is "Ship" + k.
// A ship's name is the game's own string for its ids_name (trimmed, if not empty), else its
// line of resource.ini, else kUnknownShipName.
void FillShipList(DataSet& dataSet, Form& form);

} // namespace skarvel
