// The editor's commands on the three data sets (demo game, mid-size mod, largest mods), each
// against the time to read and parse the files it works on once, measured in the same run.
// "x_parse" is the command's mean wall time over that baseline's, "cpu_x_parse" the same in
// processor time; the targets hold for the large set:
//   reload (close, open, general values)  vs the six files   target <= 5
//   ship click with its hardpoints        vs goods + shiparch target <= 2
//   save and its reload                   vs the six files   target <= 8
// and a digit typed into an engine field (target < 1 ms).
#include "BenchSession.h"
#include "DataSetGenerator.h"
#include "gamedata/IniEngine.h"
#include "journal/Journal.h"
#include "platform/AsciiText.h"
#include "platform/Files.h"
#include "ports/Controls.h"
#include "ports/Dialogs.h"
#include "ports/Form.h"
#include "ships/Editor.h"
#include "ships/Numbers.h"
#include "support/MemoryForm.h"
#include "tables/FleetColumns.h"
#include "tables/FleetCommands.h"

#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace skarvel;
using bench::Session;
using bench::YesDialogs;
using Clock = std::chrono::steady_clock;

// One session per size, made on first use and kept for the run.
Session& session(bench::DataSetSize size) {
    static std::array<std::unique_ptr<Session>, bench::kAllSizes.size()> sessions;
    auto& slot = sessions[static_cast<std::size_t>(size)];
    if (!slot) {
        slot = std::make_unique<Session>(size);
    }
    return *slot;
}

double secondsOf(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Processor time of the process: the part of a command that is not waiting for the disk.
double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Baseline {
    double wall = 1e9;
    double cpu = 1e9;
};

// Wall and processor time of one timed run.
struct Timed {
    Clock::duration wall{};
    double cpu = 0;

    template <typename Command> void run(Command&& command) {
        const auto start = Clock::now();
        const double cpuStart = cpuSeconds();
        command();
        cpu += cpuSeconds() - cpuStart;
        wall += Clock::now() - start;
    }
};

// Reads and parses the files once; the best of a few rounds, in seconds.
Baseline parseBaseline(const std::vector<std::filesystem::path>& files) {
    Baseline best;
    for (int round = 0; round < 5; ++round) {
        Timed timed;
        timed.run([&] {
            for (const auto& file : files) {
                const ini::ParsedIni parsed(readFile(file.string()));
                benchmark::DoNotOptimize(parsed.sections().data());
            }
        });
        best.wall = std::min(best.wall, secondsOf(timed.wall));
        best.cpu = std::min(best.cpu, timed.cpu);
    }
    return best;
}

std::vector<std::filesystem::path> allSix(bench::DataSetSize size) {
    const auto files = session(size).files();
    return {files.begin(), files.end()};
}

std::vector<std::filesystem::path> goodsAndShipArch(bench::DataSetSize size) {
    const auto files = session(size).files();
    return {files[3], files[4]};
}

// x_parse: wall time against the baseline's; cpu_x_parse: the same without the waits for
// the disk (the journal syncs every line, the save syncs every file it makes durable).
void reportRatio(benchmark::State& state, const Timed& timed, const Baseline& baseline) {
    const auto runs = static_cast<double>(state.iterations());
    state.counters["x_parse"] = secondsOf(timed.wall) / runs / baseline.wall;
    state.counters["cpu_x_parse"] = timed.cpu / runs / baseline.cpu;
    state.counters["parse_ms"] = baseline.wall * 1000.0;
    state.counters["parse_cpu_ms"] = baseline.cpu * 1000.0;
}

void BM_ParseSixFilesOnce(benchmark::State& state, bench::DataSetSize size) {
    const auto files = allSix(size);
    for (auto _ : state) {
        for (const auto& file : files) {
            const ini::ParsedIni parsed(readFile(file.string()));
            benchmark::DoNotOptimize(parsed.sections().data());
        }
    }
}

// Close (numbers removed), open (files checked and numbered, section lists, ship list) and
// the general values.
void BM_Reload(benchmark::State& state, bench::DataSetSize size) {
    Editor& editor = session(size).editor();
    const Baseline baseline = parseBaseline(allSix(size));
    Timed timed;
    for (auto _ : state) {
        timed.run([&] { editor.btRelloadClick(); });
    }
    reportRatio(state, timed, baseline);
}

void BM_ShipClick(benchmark::State& state, bench::DataSetSize size) {
    Session& s = session(size);
    const Baseline baseline = parseBaseline(goodsAndShipArch(size));
    Timed timed;
    for (auto _ : state) {
        timed.run([&] { s.clickShip(); });
    }
    reportRatio(state, timed, baseline);
}

// Every value written in place, flushed, the six copies made, then the set reloaded.
void BM_SaveAndReload(benchmark::State& state, bench::DataSetSize size) {
    Session& s = session(size);
    s.clickShip();
    const Baseline baseline = parseBaseline(allSix(size));
    Timed timed;
    int hitPoints = 5000;
    for (auto _ : state) {
        s.form().setText(controls::edPanzerung, std::to_string(++hitPoints));
        timed.run([&] { s.editor().btSaveClick(); });
    }
    reportRatio(state, timed, baseline);
}

// Another program rewrites shiparch.ini (a comment line added or taken away, as an editor
// saves): the change is noticed, the file read again, the lists and the ship list built
// again, and the shown ship and the general values loaded from the new files.
void BM_OutsideChange(benchmark::State& state, bench::DataSetSize size) {
    Session& s = session(size);
    s.clickShip();
    const Baseline baseline = parseBaseline(allSix(size));
    const std::string path = s.files()[4].string();
    const std::string original = readFile(path);
    const std::string changed = original + "\n; changed outside\n";
    Timed timed;
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        writeFileAtomically(path, flip ? changed : original, false);
        timed.run([&] { s.editor().filesChangedOutside(); });
    }
    writeFileAtomically(path, original, false);
    s.editor().filesChangedOutside();
    reportRatio(state, timed, baseline);
}

// A digit typed into the max force field: the speed and the reverse speed recomputed.
void BM_EngineFieldKeystroke(benchmark::State& state, bench::DataSetSize size) {
    Session& s = session(size);
    s.clickShip();
    for (auto _ : state) {
        int key = '5';
        s.editor().engineValues().edEngineMaxForceKeyDown(key);
        benchmark::DoNotOptimize(key);
    }
}

// The Fleet page's rows: every ship read with the field table, against the six files' parse.
void BM_FleetRows(benchmark::State& state, bench::DataSetSize size) {
    Session& s = session(size);
    const Baseline baseline = parseBaseline(allSix(size));
    const auto names = s.form().items(controls::lbShips);
    Timed timed;
    for (auto _ : state) {
        timed.run([&] {
            const FleetTable table = FleetTable::read(s.editor().dataSet(), names);
            benchmark::DoNotOptimize(table.rows().data());
        });
    }
    reportRatio(state, timed, baseline);
}

// What the page's proxy does for a click on a number's header: every row's text read as a
// number and the rows ordered by it; and the filter over the four text columns.
void BM_FleetSortAndFilter(benchmark::State& state, bool sort) {
    Session& s = session(bench::DataSetSize::Large);
    YesDialogs dialogs;
    FleetCommands fleet(s.journal(), s.form(), dialogs, s.editor());
    fleet.refresh();
    const std::size_t hold = fleetColumnOfKey("hold_size");
    const std::size_t rows = fleet.table().rows().size();
    std::vector<std::size_t> order;
    for (auto _ : state) {
        order.resize(rows);
        for (std::size_t i = 0; i < rows; ++i) {
            order[i] = i;
        }
        if (sort) {
            std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
                return readNumber(fleet.edits().shown(a, hold)).value_or(-1) >
                       readNumber(fleet.edits().shown(b, hold)).value_or(-1);
            });
        } else {
            std::erase_if(order, [&](std::size_t row) {
                for (const char* key : {"name", "nickname", "type", "ship_class"}) {
                    std::string text = fleet.edits().shown(row, fleetColumnOfKey(key));
                    std::transform(text.begin(), text.end(), text.begin(), lowerAscii);
                    if (text.find("fighter") != std::string::npos) {
                        return false;
                    }
                }
                return true;
            });
        }
        benchmark::DoNotOptimize(order.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// One column of every ship changed, reviewed and saved (one backup, one batch), the table
// read again; against the six files' parse. The review is the save's own, as the page's
// "Review and save" shows it: built once.
void BM_FleetChangeReviewSave(benchmark::State& state, bench::DataSetSize size) {
    Session& s = session(size);
    YesDialogs dialogs;
    FleetCommands fleet(s.journal(), s.form(), dialogs, s.editor());
    fleet.refresh();
    const Baseline baseline = parseBaseline(allSix(size));
    std::vector<std::size_t> rows(fleet.table().rows().size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = i;
    }
    const std::size_t hold = fleetColumnOfKey("hold_size");
    const std::size_t reviewsBefore = s.dialogs().reviews;
    Timed timed;
    // Across the runs of the benchmark too: a value the files hold already saves nothing.
    static int value = 60;
    for (auto _ : state) {
        ++value;
        timed.run([&] {
            fleet.edits().apply(rows, hold, FleetEdits::Operation::Set, std::to_string(value));
            fleet.save();
        });
    }
    if (s.dialogs().reviews < reviewsBefore + static_cast<std::size_t>(state.iterations()) ||
        s.dialogs().reviewed == 0) {
        state.SkipWithError("a save showed no review");
    }
    reportRatio(state, timed, baseline);
}

// One journal line made durable on the disk of the generated data sets.
void BM_JournalLine(benchmark::State& state) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("skarvel-journal-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    {
        TJournal journal(folder.string() + "/", "DebugOut");
        for (auto _ : state) {
            journal.Write("Eintrag hp_type gefunden in Zeile 1234", JournalEntryKind::Data);
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_JournalLine)->Unit(benchmark::kMicrosecond);

// Named BM_Reload/demo, BM_Reload/mid, BM_Reload/large and so on.
const bool registered = [] {
    for (const bench::DataSetSize size : bench::kAllSizes) {
        const std::string suffix = std::string("/") + bench::sizeName(size);
        const auto add = [&](const char* name, auto function, benchmark::TimeUnit unit) {
            benchmark::RegisterBenchmark((name + suffix).c_str(), function, size)->Unit(unit);
        };
        add("BM_ParseSixFilesOnce", BM_ParseSixFilesOnce, benchmark::kMillisecond);
        add("BM_Reload", BM_Reload, benchmark::kMillisecond);
        add("BM_ShipClick", BM_ShipClick, benchmark::kMillisecond);
        add("BM_SaveAndReload", BM_SaveAndReload, benchmark::kMillisecond);
        add("BM_OutsideChange", BM_OutsideChange, benchmark::kMillisecond);
        add("BM_EngineFieldKeystroke", BM_EngineFieldKeystroke, benchmark::kMicrosecond);
        add("BM_FleetRows", BM_FleetRows, benchmark::kMillisecond);
        add("BM_FleetChangeReviewSave", BM_FleetChangeReviewSave, benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("BM_FleetSort/large", BM_FleetSortAndFilter, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_FleetFilter/large", BM_FleetSortAndFilter, false)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
