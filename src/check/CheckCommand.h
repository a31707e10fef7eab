#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace skarvel::check {

// "skarvel --check GAME_FOLDER [--format text|json|sarif] [--rules id,id] [--baseline FILE]
// [--write-baseline FILE]": the arguments after --check. Prints one problem per line
// ("path:line: severity: [rule] message"), one JSON array or one SARIF log, then the count
// line (on err for JSON and SARIF, so that out stays one document). With a baseline only the
// problems it lacks are shown and counted. Returns 0 without errors, 1 with errors, 2 for a
// usage or reading fault and when the report cannot be written. Needs no window, lock or
// journal, and writes no file but the baseline asked for.
int runCheckCommand(std::span<const std::string_view> arguments, std::ostream& out,
                    std::ostream& err);

} // namespace skarvel::check
