#pragma once

namespace skarvel {

class TJournal;

// The system information block of the journal: operating system, executable, screens,
// work area and the file system that holds the program.
void WriteSystemInformation(TJournal& journal);

} // namespace skarvel
