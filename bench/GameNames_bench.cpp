// The game's own ship names as an open of the largest data set reads them: 1,500 names in a
// mod's DLL, third in the [Resources] list of freelancer.ini (ids_name 237000 + i, as the
// generator writes them), each looked up once as the ship list does. The first read parses
// every DLL; a reload with the DLLs unchanged takes them from the cache. Target: at most
// 30 ms added to an open.
#include "gamedata/GameNames.h"
#include "journal/Journal.h"
#include "platform/Files.h"
#include "support/PeBuilder.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace skarvel;

constexpr int kShips = 1500;
constexpr std::uint32_t kFirstId = 237000;

class NamesGame {
public:
    NamesGame()
        : root_(std::filesystem::temp_directory_path() /
                ("skarvel-names-" + std::to_string(::getpid()))) {
        const auto exe = root_ / "game" / "EXE";
        std::filesystem::create_directories(exe);
        writeFileAtomically((exe / "freelancer.ini").string(),
                            "[Resources]\r\nDLL = InfoCards.dll\r\nDLL = MiscText.dll\r\n"
                            "DLL = ModNames.dll ; the mod's own names\r\n",
                            false);
        std::map<std::uint16_t, std::u16string> few = {{1, u"Freelancer"}, {2, u"Trent"}};
        for (const char* name : {"resources.dll", "InfoCards.dll", "MiscText.dll"}) {
            writeFileAtomically((exe / name).string(), test::buildPe(few).bytes, false);
        }
        std::map<std::uint16_t, std::u16string> names;
        for (int i = 0; i < kShips; ++i) {
            const std::string text = "Generated Ship " + std::to_string(i) + " Mk II";
            names[static_cast<std::uint16_t>((kFirstId + static_cast<std::uint32_t>(i)) & 0xFFFF)] =
                std::u16string(text.begin(), text.end());
        }
        writeFileAtomically((exe / "ModNames.dll").string(), test::buildPe(names).bytes, false);
        journal_ = std::make_unique<TJournal>(root_.string() + "/", "DebugOut");
    }
    ~NamesGame() {
        journal_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    // A load and the ship list's lookups.
    void read(GameNames& names) {
        names.load(*journal_, (root_ / "game").string() + "/");
        for (std::uint32_t id = kFirstId; id < kFirstId + kShips; ++id) {
            benchmark::DoNotOptimize(names.text(std::to_string(id)).data());
        }
    }

private:
    std::filesystem::path root_;
    std::unique_ptr<TJournal> journal_;
};

void BM_GameNamesFirstRead(benchmark::State& state) {
    NamesGame game;
    for (auto _ : state) {
        GameNames names;
        game.read(names);
    }
}
BENCHMARK(BM_GameNamesFirstRead)->Unit(benchmark::kMillisecond);

void BM_GameNamesUnchanged(benchmark::State& state) {
    NamesGame game;
    GameNames names;
    game.read(names);
    for (auto _ : state) {
        game.read(names);
    }
}
BENCHMARK(BM_GameNamesUnchanged)->Unit(benchmark::kMillisecond);

} // namespace
