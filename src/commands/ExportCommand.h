#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace skarvel {

// "skarvel --export KIND GAME_FOLDER [--format csv|json]": the arguments after --export. Prints
// the table of one equipment kind (Gun, Munition, ShieldGenerator ..., letter case aside) of
// the equipment files the game's freelancer.ini names, as the EQUIPMENT page shows it: the
// files' keys, the game's name, the price and the derived values. Reads only; needs no window,
// lock or journal. Returns 0, or 2 for a usage or reading fault, an unknown kind (the kinds
// the mod has are listed) and when the table cannot be written.
int runExportCommand(std::span<const std::string_view> arguments, std::ostream& out,
                     std::ostream& err);

} // namespace skarvel
