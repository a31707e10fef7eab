#pragma once

#include "gamedata/DataFileSet.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace skarvel {

class TJournal;

// True when the file is a regular file that starts with the BINI magic; an empty file or one
// with a NUL byte elsewhere is damaged, not compressed. Journals "IS_COMPRESSED_INI".
bool IsCompressedIni(const std::string& path, TJournal& journal);

// How the converter is started: a native "bini" in the converter folder, else "bini.exe"
// there through wine.
struct Converter {
    std::string program;
    std::vector<std::string> leadingArguments;
    bool throughWine = false;
};

std::optional<Converter> findConverter(const std::string& converterFolder);

inline constexpr std::chrono::seconds kConverterTimeLimit{60};

// A file of the set that is still compressed after the unpacking step.
struct UnpackFailure {
    std::string file;
    bool converterMissing = false;
};

// Turns every compressed file of the set into text with the converter, one after the other.
// A file is replaced only by a complete text form; when that cannot be had the file stays
// as it was and its path comes back, so the open can refuse the data set (a compressed
// file must never reach the line-based numbering).
std::optional<UnpackFailure> UnpackCompressedFiles(TJournal& journal,
                                                   const std::string& converterFolder,
                                                   const DataFileSet& files);

} // namespace skarvel
