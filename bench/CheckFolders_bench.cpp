// The mod check on a freelancer.ini of 10,000 [Data] lines naming files of one folder that
// holds 100,000 files, in another letter case than the disk's (so every path must be found
// by listing the folder). Each folder is listed once a run and each distinct path resolved
// once: the run takes about as long as reading the files it names, not minutes.
#include "check/Checker.h"
#include "check/Rules.h"
#include "platform/Files.h"
#include "support/TestFiles.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

using namespace skarvel;

constexpr int kFilesInFolder = 100000;
constexpr int kDataLines = 10000;
constexpr int kNamedFiles = 2000; // each named by five lines, in two spellings

class CrowdedGame {
public:
    CrowdedGame() {
        const auto folder = tmp_.path() / "game/DATA/EQUIPMENT";
        std::filesystem::create_directories(folder);
        for (int n = 0; n < kFilesInFolder; ++n) {
            const std::string path = (folder / ("eq_" + std::to_string(n) + ".ini")).string();
            const std::string text = "[Gun]\nnickname = gun_" + std::to_string(n) + "\n";
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd >= 0) {
                writeAll(fd, n < kNamedFiles ? std::string_view(text) : std::string_view());
                ::close(fd);
            }
        }
        std::string settings = "[Data]\r\n";
        for (int line = 0; line < kDataLines; ++line) {
            const int n = line % kNamedFiles;
            settings += (line % 2 ? "equipment = Equipment\\EQ_" : "equipment = equipment\\Eq_") +
                        std::to_string(n) + ".INI\r\n";
        }
        test::writeBytes(tmp_.path() / "game/EXE/freelancer.ini", settings);
    }
    std::string folder() const { return (tmp_.path() / "game").string(); }

private:
    test::TempDir tmp_;
};

void BM_CheckCrowdedFolder(benchmark::State& state) {
    const CrowdedGame game;
    const std::vector<const check::Rule*> rules = {check::findRule("file"),
                                                   check::findRule("dup-nickname")};
    std::size_t problems = 0;
    for (auto _ : state) {
        problems = check::checkGame(game.folder(), rules).size();
    }
    state.counters["problems"] = static_cast<double>(problems);
}
BENCHMARK(BM_CheckCrowdedFolder)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
