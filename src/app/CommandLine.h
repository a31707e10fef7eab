#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace skarvel {

// The editor's own options, answered before anything else of the program exists: --help and
// --version print and end with 0; an unknown option or a stray argument ends with 2 and a
// message on stderr. Qt's own options (-platform, -style, -session ...) pass on to the
// application. Returns the exit code, or nothing when the program is to start.
std::optional<int> answerCommandLine(int argc, char* argv[], std::ostream& out, std::ostream& err);

// --demo among the arguments: start on the demo game (ships/DemoGame.h).
bool asksForDemo(int argc, char* argv[]);

// "0.6.0 build 1": the version the status bar shows.
std::string programVersionText();

} // namespace skarvel
