// bini: turns a compressed (BINI) settings file into its text form, and back.
//
//   bini FILE           writes FILE.txt, the text form of FILE; FILE is left as it is
//   bini -t TEXT OUT    writes OUT, a BINI file made from the settings text TEXT
//   bini --help         prints the usage;  bini --version  prints the version
//
// Only regular files are read. A text form larger than 64 times FILE (at most 512 MB) is
// refused, as are names and strings the text form cannot carry. Output files appear complete
// or not at all. Any error: a message on stderr, exit status 1 (2 for wrong usage), and no
// output file.
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

constexpr const char* kUsage = "usage: bini FILE          write FILE.txt, the text form of FILE\n"
                               "       bini -t TEXT OUT   write OUT, a BINI file made from TEXT\n"
                               "       bini --help | --version\n";

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

// Format errors name the file they were found in.
template <typename Convert> std::string converted(const std::string& input, Convert convert) {
    const std::string bytes = bini::readWholeFile(input);
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
    // The editor passes paths, never names that start with a dash.
    const bool known =
        option == "-t" || option == "-h" || option == "--help" || option == "--version";
    if (option.size() > 1 && option.front() == '-' && !known) {
        std::fprintf(stderr, "bini: unknown option '%s'\n", option.c_str());
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (argc == 2 && option != "-t") {
        const std::string input = unquoted(option);
        const std::string text =
            converted(input, [](std::string_view bytes) { return bini::toText(bytes); });
        bini::writeFileAtomically(input + ".txt", text);
        return 0;
    }
    if (argc == 4 && option == "-t") {
        const std::string biniFile = converted(unquoted(argv[2]), bini::fromText);
        bini::writeFileAtomically(unquoted(argv[3]), biniFile);
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
