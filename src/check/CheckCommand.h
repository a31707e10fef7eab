#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace skarvel::check {

// "skarvel --check GAME_FOLDER [--format text|json] [--rules id,id]": the arguments after
// --check. Prints one problem per line ("path:line: severity: [rule] message") or one JSON
// array, then the count line (on err for JSON, so that out stays one JSON document).
// Returns 0 without errors, 1 with errors, 2 for a usage or reading fault. Needs no window,
// lock or journal, and writes no file.
int runCheckCommand(std::span<const std::string_view> arguments, std::ostream& out,
                    std::ostream& err);

} // namespace skarvel::check
