// Linked into the benchmark program: the backups its saves make go to a folder of its own in
// RAM, never into the user's folders.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

const bool kBenchHomeSet = [] {
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path base =
        (std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path()) /
        ("skarvel-bench-home-" + std::to_string(::getpid()));
    ::setenv("XDG_DATA_HOME", (base / "share").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (base / "state").c_str(), 1);
    static const struct Cleanup {
        std::filesystem::path folder;
        ~Cleanup() {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    } cleanup{base};
    return true;
}();

} // namespace
