#pragma once

#include <string>

namespace skarvel {

// The whole program: journal, application, main window, event loop, closing lines.
// The program's own folder is the executable's, or $SKARVEL_PROGRAM_FOLDER when set.
int runProgram(int argc, char* argv[]);
// The same with the program's own folder given (the journal and the exported copies go
// there). Uses the running application object when there is one.
int runProgram(int argc, char* argv[], const std::string& programFolder);

} // namespace skarvel
