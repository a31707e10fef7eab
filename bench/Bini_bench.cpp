// The converter on a BINI file of about 100 KB: the conversion in memory, and the whole
// program run the editor waits for (start, read, convert, atomic write).
#include "BiniFormat.h"
#include "DataSetGenerator.h"
#include "platform/Files.h"
#include "platform/Process.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <string>

namespace {

using namespace skarvel;

constexpr std::size_t kTargetSize = 100 * 1024;

// The engines of the large data set, cut at a section header so that their BINI form is
// about 100 KB.
class BiniSample {
public:
    BiniSample() : set_(bench::DataSetSize::Large) {
        const std::string text = readFile(set_.files()[2].string());
        const std::string whole = bini::fromText(text);
        const std::size_t textLength = text.size() * kTargetSize / whole.size();
        const std::size_t cut = text.find("[Engine]", textLength);
        bytes_ = bini::fromText(text.substr(0, cut));
        path_ = (set_.gameDir() / "engine_equip.ini").string();
        writeFileAtomically(path_, bytes_, false);
    }

    const std::string& bytes() const { return bytes_; }
    const std::string& path() const { return path_; }

private:
    bench::GeneratedDataSet set_;
    std::string bytes_;
    std::string path_;
};

const BiniSample& sample() {
    static const BiniSample instance;
    return instance;
}

void BM_BiniToText(benchmark::State& state) {
    const std::string& bytes = sample().bytes();
    for (auto _ : state) {
        benchmark::DoNotOptimize(bini::toText(bytes).data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
    state.counters["bini_kb"] = static_cast<double>(bytes.size()) / 1024;
}
BENCHMARK(BM_BiniToText)->Unit(benchmark::kMillisecond);

void BM_BiniProgram(benchmark::State& state) {
    const std::string& path = sample().path();
    for (auto _ : state) {
        const ProcessResult result =
            runProgram(SKARVEL_BINI_PATH, {path}, std::chrono::seconds(30));
        if (!result.started || result.exitCode != 0) {
            state.SkipWithError("the converter failed");
            break;
        }
        state.PauseTiming();
        std::filesystem::remove(path + ".txt");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BiniProgram)->Unit(benchmark::kMillisecond);

} // namespace
