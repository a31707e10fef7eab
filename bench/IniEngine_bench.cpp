// The settings-file engine on the goods file of a large mod (2,500 goods, about 600 KB):
// reading and parsing the file once, against reading one key from every good section as the
// ship load does. With the parse cache the reads should cost no more than about three parses;
// each read checks the file with one stat, whose price depends on the machine (see below).
#include "DataSetGenerator.h"
#include "gamedata/IniEngine.h"
#include "gamedata/UserIniFile.h"
#include "journal/Journal.h"
#include "platform/Files.h"

#include <benchmark/benchmark.h>
#include <string>
#include <sys/stat.h>

namespace {

using namespace skarvel;

// The large data set with its goods headers numbered [Good0], [Good1], ... as the editor
// does while the data set is open.
class NumberedGoods {
public:
    NumberedGoods() : set_(bench::DataSetSize::Large) {
        std::string text = readFile(set_.files()[kGoodsFile].string());
        std::string numbered;
        numbered.reserve(text.size() + 16384);
        std::size_t pos = 0;
        for (std::size_t found; (found = text.find("[Good]\r\n", pos)) != std::string::npos;) {
            numbered.append(text, pos, found - pos)
                .append("[Good" + std::to_string(count_++) + "]\r\n");
            pos = found + 8;
        }
        numbered.append(text, pos);
        path_ = (set_.gameDir() / "goods_numbered.ini").string();
        writeFileAtomically(path_, numbered, false);
    }

    const std::string& path() const { return path_; }
    int count() const { return count_; }
    std::string folder() const { return set_.gameDir().string(); }
    std::string shipArch() const { return set_.files()[kShipArchFile].string(); }

private:
    static constexpr int kGoodsFile = 3;
    static constexpr int kShipArchFile = 4;
    bench::GeneratedDataSet set_;
    std::string path_;
    int count_ = 0;
};

const NumberedGoods& goods() {
    static const NumberedGoods instance;
    return instance;
}

void parseOnce(benchmark::State& state, const std::string& path) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        const ini::ParsedIni parsed(readFile(path));
        bytes = parsed.bytes().size();
        benchmark::DoNotOptimize(parsed.sections().data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

// (a) goods.ini read and parsed once.
void BM_ParseGoodsOnce(benchmark::State& state) {
    parseOnce(state, goods().path());
}
BENCHMARK(BM_ParseGoodsOnce)->Unit(benchmark::kMillisecond);

void BM_ParseShipArchOnce(benchmark::State& state) {
    parseOnce(state, goods().shipArch());
}
BENCHMARK(BM_ParseShipArchOnce)->Unit(benchmark::kMillisecond);

void readEveryNickname(const TUserIniFile& ini, int count) {
    for (int k = 0; k < count; ++k) {
        benchmark::DoNotOptimize(ini.ReadValue("Good" + std::to_string(k), "nickname", ""));
    }
}

// (b) one ReadValue of "nickname" per good section, the file unchanged between the reads,
// within one read-only phase as the ship load does it.
void BM_ReadNicknameOfEveryGood(benchmark::State& state) {
    const NumberedGoods& data = goods();
    TJournal journal(data.folder(), "BenchJournal");
    const TUserIniFile ini(data.path(), journal);
    for (auto _ : state) {
        const ini::ReadOnlyPhase phase;
        readEveryNickname(ini, data.count());
    }
    state.counters["reads"] = data.count();
}
BENCHMARK(BM_ReadNicknameOfEveryGood)->Unit(benchmark::kMillisecond);

// The parts of (b): the lookups in the parsed file alone, and the one stat per read that
// sees a file changed on disk. On a machine with slow system calls (a virtual machine with
// page-table isolation) the stats dominate.
void BM_LookupNicknameOfEveryGoodInMemory(benchmark::State& state) {
    const NumberedGoods& data = goods();
    const ini::ParsedIni parsed(readFile(data.path()));
    for (auto _ : state) {
        for (int k = 0; k < data.count(); ++k) {
            const auto* section = parsed.findSection("Good" + std::to_string(k));
            benchmark::DoNotOptimize(parsed.value(*parsed.findKey(*section, "nickname")));
        }
    }
}
BENCHMARK(BM_LookupNicknameOfEveryGoodInMemory)->Unit(benchmark::kMillisecond);

void BM_StatGoodsFileOncePerGood(benchmark::State& state) {
    const NumberedGoods& data = goods();
    for (auto _ : state) {
        for (int k = 0; k < data.count(); ++k) {
            struct stat info {};
            benchmark::DoNotOptimize(::stat(data.path().c_str(), &info));
        }
    }
}
BENCHMARK(BM_StatGoodsFileOncePerGood)->Unit(benchmark::kMillisecond);

// (b) again, but the file is rewritten on disk before each round: one parse plus the reads.
void BM_ReadNicknameOfEveryGoodAfterRewrite(benchmark::State& state) {
    const NumberedGoods& data = goods();
    TJournal journal(data.folder(), "BenchJournal");
    const TUserIniFile ini(data.path(), journal);
    const std::string bytes = readFile(data.path());
    for (auto _ : state) {
        state.PauseTiming();
        writeFileAtomically(data.path(), bytes, false);
        state.ResumeTiming();
        readEveryNickname(ini, data.count());
    }
    state.counters["reads"] = data.count();
}
BENCHMARK(BM_ReadNicknameOfEveryGoodAfterRewrite)->Unit(benchmark::kMillisecond);

// One write into the 1.4 MB ship file: splice, atomic replace, parse of the new bytes.
void BM_WriteOneShipValue(benchmark::State& state) {
    const NumberedGoods& data = goods();
    TJournal journal(data.folder(), "BenchJournal");
    TUserIniFile ini(data.shipArch(), journal);
    int value = 1000;
    for (auto _ : state) {
        ini.WriteString("Ship", "hit_pts", std::to_string(++value));
    }
}
BENCHMARK(BM_WriteOneShipValue)->Unit(benchmark::kMillisecond);

} // namespace
