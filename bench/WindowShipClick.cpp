// The window-level row: a click on a ship in the real main window (offscreen) until its
// fields are filled, on the largest generated set; its processor time must stay under one
// frame (16 ms). A program of its own, since it needs the window and so Qt.
#include "DataSetGenerator.h"
#include "app/MainWindow.h"
#include "gui/UserHand.h"
#include "gui/WindowTestSupport.h"
#include "journal/Journal.h"
#include "platform/Files.h"
#include "ships/Editor.h"

#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <benchmark/benchmark.h>
#include <ctime>
#include <stdexcept>
#include <unistd.h>

namespace {

using namespace skarvel;

double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BM_WindowShipClick(benchmark::State& state) {
    test::guiApplication();
    test::ShellEnvironment env;
    env.installGameAndSilenceStart();
    test::ModalHand hand; // no question is expected; one that comes is closed
    const bench::GeneratedDataSet set(bench::DataSetSize::Large);
    // The program's folder, where the journal syncs every line, in RAM as for the core's
    // benchmarks: the row is about the window's work, not the disk's.
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path program =
        std::filesystem::is_directory(shm)
            ? shm / ("skarvel-window-bench-" + std::to_string(::getpid())) / "program"
            : env.program;
    std::filesystem::create_directories(program);
    std::string resource = "[Resource]\r\n";
    for (int i = 0; i < 1500; ++i) {
        resource += std::to_string(237000 + i) + " = Ship " + std::to_string(i) + "\r\n";
    }
    writeFileAtomically((program / "resource.ini").string(), resource, false);
    std::filesystem::create_directories(program / "bini");

    TJournal journal(program.string(), "DebugOut");
    TformSkarvel window(journal, program.string());
    window.show();
    test::click(test::control<QPushButton>(window, "btRead"));
    test::control<QLineEdit>(window, "edPfad")
        .setText(QString::fromStdString(set.gameDir().string() + "/"));
    test::control<QLineEdit>(window, "edFliniDir")
        .setText(QString::fromStdString((program / "bini").string() + "/"));
    test::click(test::control<QToolButton>(window, "btRelload"));
    auto& ships = test::control<QListWidget>(window, "lbShips");
    if (ships.count() < 1000) {
        throw std::runtime_error("the generated data set did not open in the window");
    }
    // Two buyable ships in turn, so that every click changes the ship.
    const int rows[] = {bench::lastBuyableShip(bench::DataSetSize::Large),
                        bench::lastBuyableShip(bench::DataSetSize::Large) - 2};
    const auto& nickname = test::control<QLineEdit>(window, "edShipNickName");
    double cpu = 0;
    int turn = 0;
    for (auto _ : state) {
        const int row = rows[turn++ % 2];
        ships.scrollToItem(ships.item(row));
        QApplication::processEvents();
        const double start = cpuSeconds();
        QTest::mouseClick(ships.viewport(), Qt::LeftButton, {},
                          ships.visualItemRect(ships.item(row)).center());
        QApplication::processEvents();
        cpu += cpuSeconds() - start;
        benchmark::DoNotOptimize(nickname.text().size());
    }
    state.counters["cpu_ms"] = cpu / static_cast<double>(state.iterations()) * 1000.0;
    window.editor().CloseIniFiles();
    if (program != env.program) {
        std::error_code ignored;
        std::filesystem::remove_all(program.parent_path(), ignored);
    }
    if (nickname.text().isEmpty() || !hand.unexpected.empty()) {
        state.SkipWithError("the click filled no field, or a dialog came up");
    }
}
BENCHMARK(BM_WindowShipClick)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
