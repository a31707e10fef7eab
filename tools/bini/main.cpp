// bini: turns a compressed (BINI) settings file into its text form, and back.
//
//   bini [--force] FILE  writes FILE.txt, the text form of FILE; FILE is left as it is. An
//                        existing FILE.txt is refused; --force replaces it (its mode kept)
//   bini -t TEXT OUT     writes OUT, a BINI file made from the settings text TEXT
//   bini --help          prints the usage;  bini --version  prints the version
//
// Only regular files of at most 64 MB are read; UTF-16 text is named as such. A text form
// larger than 64 times FILE (at most 512 MB) is refused, as are names and strings the text
// form cannot carry. Output files appear complete or not at all. Any error: a message on
// stderr, exit status 1 (2 for wrong usage), and no output file.
#include "BiniFormat.h"
#include "OutputFile.h"
#include "Version.h"

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace {

constexpr const char* kUsage =
    "usage: bini [--force] FILE  write FILE.txt, the text form of FILE (--force: replace\n"
    "                            an existing FILE.txt)\n"
    "       bini -t TEXT OUT     write OUT, a BINI file made from TEXT\n"
    "       bini --help | --version\n"
    "Inputs larger than 64 MB are refused.\n";

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The editor hands the path over in double quotes, as the Windows shell call did; without a
// shell in between the quotes arrive in the argument.
std::string unquoted(std::string path) {
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"' && !exists(path)) {
        path = path.substr(1, path.size() - 2);
    }
    return path;
}

// UTF-16 text (as Notepad saves "Unicode") holds a NUL in every other byte: said as such,
// not as a damaged file.
bool isUtf16(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        return true;
    }
    return bytes.size() >= 4 && bytes[0] != '\0' && bytes[1] == '\0' && bytes[2] != '\0' &&
           bytes[3] == '\0';
}

// Format errors name the file they were found in.
template <typename Convert> std::string converted(const std::string& input, Convert convert) {
    const std::string bytes = bini::readWholeFile(input);
    if (isUtf16(bytes)) {
        throw std::runtime_error(input +
                                 ": the file is UTF-16 text; save it as UTF-8 or Windows-1252");
    }
    try {
        return convert(bytes);
    } catch (const bini::FormatError& error) {
        throw std::runtime_error(input + ": " + error.what());
    }
}

int run(int argc, char** argv) {
    const std::string option = argc > 1 ? argv[1] : "";
    if (argc == 2 && (option == "-h" || option == "--help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && option == "--version") {
        std::fputs("bini " SKARVEL_VERSION_TEXT "\n", stdout);
        return 0;
    }
    const bool force = option == "--force";
    // The editor passes paths, never names that start with a dash.
    const bool known =
        option == "-t" || option == "-h" || option == "--help" || option == "--version" || force;
    if (option.size() > 1 && option.front() == '-' && !known) {
        std::fprintf(stderr, "bini: unknown option '%s'\n", option.c_str());
        std::fputs(kUsage, stderr);
        return 2;
    }
    if ((argc == 2 && option != "-t" && !force) || (argc == 3 && force)) {
        const std::string input = unquoted(argv[argc - 1]);
        const std::string text =
            converted(input, [](std::string_view bytes) { return bini::toText(bytes); });
        bini::writeFileAtomically(input + ".txt", text, force);
        return 0;
    }
    if (argc == 4 && option == "-t") {
        const std::string biniFile = converted(unquoted(argv[2]), bini::fromText);
        bini::writeFileAtomically(unquoted(argv[3]), biniFile, /*replace=*/true);
        return 0;
    }
    std::fputs(kUsage, stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bini: %s\n", error.what());
        return 1;
    }
}
