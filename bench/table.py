#!/usr/bin/env python3
"""Runs skarvel_bench once and prints its results as the README's Markdown table.

Usage: table.py path/to/skarvel_bench [benchmark arguments...]
Ratios are the command's mean time over the baseline measured in the same run. Both the wall
time and the processor time are shown; a target on a ratio is judged on processor time,
because the wall time of the editor's commands is mostly the disk's answer to fsync (the
save makes every file it writes durable) and differs by disk.
"""
import json
import os
import subprocess
import sys
import tempfile

SIZES = ("demo", "mid", "large")


def run(program, extra):
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        bench = subprocess.Popen([program, "--benchmark_out=" + out.name,
                                  "--benchmark_out_format=json", *extra],
                                 stdout=subprocess.DEVNULL)
        # The benchmark program's own peak: this process may have inherited the usage of
        # the compiler run before it (run.sh execs this script).
        _, status, usage = os.wait4(bench.pid, 0)
        if status != 0:
            sys.exit(f"{program} failed")
        results = json.load(open(out.name))
    # A benchmark with a fixed count of iterations carries it in its name.
    return ({b["name"].removesuffix("/iterations:1"): b for b in results["benchmarks"]},
            usage.ru_maxrss / 1024, results["context"])


# Crafted inputs of the hostile-input rows (50 MB of text, 100,000 rings, 100,000 files): they
# run in a process of their own, so that the peak memory row speaks of the data sets.
STRESS = "BM_ParseBareCr|BM_ParseLf|BM_TradeCrowdedSystem|BM_TradeManyRings|BM_CheckCrowdedFolder"
# The rows on whole mods (every file freelancer.ini names, 111 of them for the largest) run in a
# process of their own too: its peak is the mods', the first process's the six files'.
MODS = "BM_CheckWholeSet|BM_WhereUsed|BM_EquipmentTables|BM_RenameSaved"


def run_all(program, extra):
    if any(arg.startswith("--benchmark_filter") for arg in extra):
        by_name, peak_mb, context = run(program, extra)
        return by_name, peak_mb, None, None, context
    by_name, peak_mb, context = run(program,
                                    ["--benchmark_filter=-(" + STRESS + "|" + MODS + ")", *extra])
    mods, mods_peak_mb, _ = run(program, ["--benchmark_filter=" + MODS, *extra])
    stress, stress_peak_mb, _ = run(program, ["--benchmark_filter=" + STRESS, *extra])
    return {**by_name, **mods, **stress}, peak_mb, mods_peak_mb, stress_peak_mb, context


def ms(b, key="real_time"):
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
    return b[key] * scale


def verdict(ok):
    return "pass" if ok else "**MISS**"


def main():
    by_name, peak_mb, mods_peak_mb, stress_peak_mb, context = run_all(sys.argv[1], sys.argv[2:])
    rows = []

    def ratio_row(what, size, command, wall_ratio, cpu_ratio, baseline, limit):
        rows.append((what, size, f"{ms(command):.1f} / {ms(command, 'cpu_time'):.1f}",
                     baseline, f"{wall_ratio:.1f}× / {cpu_ratio:.1f}×",
                     f"≤ {limit}×" if size == "large" else "",
                     verdict(cpu_ratio <= limit) if size == "large" else ""))

    reads = by_name["BM_ReadNicknameOfEveryGood"]
    parse = by_name["BM_ParseGoodsOnce"]
    ratio_row("`ReadValue` of `nickname` in each of 2,500 goods (600 KB goods.ini)", "large",
              reads, ms(reads) / ms(parse), ms(reads, "cpu_time") / ms(parse, "cpu_time"),
              f"{ms(parse):.1f} / {ms(parse, 'cpu_time'):.1f} (one parse)", 3)
    stats = by_name["BM_StatGoodsFileOncePerGood"]
    lookups = by_name["BM_LookupNicknameOfEveryGoodInMemory"]
    rows.append(("… the 2,500 lookups in memory alone", "large",
                 f"{ms(lookups):.1f} / {ms(lookups, 'cpu_time'):.1f}", "", "", "", ""))
    rows.append(("… 2,500 file checks (one stat each), as outside a read-only phase", "large",
                 f"{ms(stats):.1f} / {ms(stats, 'cpu_time'):.1f}", "", "", "", ""))

    program = by_name["BM_BiniProgram"]
    convert = by_name["BM_BiniToText"]
    rows.append(("`bini` on a 100 KB BINI file (whole program run)", "",
                 f"{ms(program):.1f}", "", "", "< 50 ms", verdict(ms(program) < 50)))
    rows.append(("… of which the conversion in memory", "", f"{ms(convert):.2f}", "", "", "", ""))

    commands = (("Reload", "BM_Reload", "six files", 5),
                ("Ship click with hardpoints", "BM_ShipClick", "goods + shiparch", 2),
                ("Save and its reload", "BM_SaveAndReload", "six files", 8),
                ("Re-read after another program changed shiparch.ini", "BM_OutsideChange",
                 "six files", 2))
    for what, name, files, limit in commands:
        for size in SIZES:
            b = by_name[f"{name}/{size}"]
            ratio_row(what, size, b, b["x_parse"], b["cpu_x_parse"],
                      f"{b['parse_ms']:.1f} / {b['parse_cpu_ms']:.1f} ({files})", limit)
    fleet = (("Fleet page: the rows of every ship", "BM_FleetRows", 5),
             ("Fleet page: one column of every ship changed, reviewed, saved, table read again",
              "BM_FleetChangeReviewSave", 10))
    for what, name, limit in fleet:
        for size in SIZES:
            b = by_name[f"{name}/{size}"]
            ratio_row(what, size, b, b["x_parse"], b["cpu_x_parse"],
                      f"{b['parse_ms']:.1f} / {b['parse_cpu_ms']:.1f} (six files)", limit)
    for what, name in (("Fleet page: sorting 1,500 rows by a number", "BM_FleetSort/large"),
                       ("Fleet page: filtering 1,500 rows by a text", "BM_FleetFilter/large")):
        b = by_name[name]
        rows.append((what, "large", f"{ms(b):.2f} / {ms(b, 'cpu_time'):.2f}", "", "",
                     "< 16 ms", verdict(ms(b, "cpu_time") < 16)))
    backup = by_name["BM_BackupOfTheLargeSet"]
    ratio_row("Backup of the six files into a folder in RAM, checked", "large", backup,
              backup["x_parse"], backup["cpu_x_parse"],
              f"{backup['parse_ms']:.1f} / {backup['parse_cpu_ms']:.1f} (six files)", 2)
    store = by_name["BM_ThousandBackupsOfOneChangedFile"]
    rows.append(("… 1,000 backups of one changed file (shiparch.ini): store growth per backup", "large",
                 f"{store['growth_per_backup'] / 1024:.0f} KB "
                 f"({store['growth_x_file']:.3f}× the file)", "", "",
                 "≈ 1× the file (its manifest of about 1 KB beside it)",
                 verdict(store["growth_x_file"] <= 1.01)))
    rows.append(("… listing the Backup page's 1,001 backups", "large", f"{store['list_ms']:.1f}",
                 "", "", "< 100 ms", verdict(store["list_ms"] < 100)))
    first = by_name["BM_GameNamesFirstRead"]
    rows.append(("Game names: 1,500 names from a mod's resource DLL, read and looked up", "large",
                 f"{ms(first):.2f} / {ms(first, 'cpu_time'):.2f}", "", "", "≤ 30 ms",
                 verdict(ms(first) <= 30)))
    cached = by_name["BM_GameNamesUnchanged"]
    rows.append(("… at a reload with the DLLs unchanged (cache)", "large",
                 f"{ms(cached):.2f} / {ms(cached, 'cpu_time'):.2f}", "", "", "", ""))
    for size in ("mid", "large"):
        b = by_name[f"BM_CheckWholeSet/{size}"]
        time = f"{ms(b):.1f} / {ms(b, 'cpu_time'):.1f}"
        base = f"{b['parse_ms']:.1f} / {b['parse_cpu_ms']:.1f} ({b['files']:.0f} files)"
        ratio = f"{b['x_parse']:.1f}× / {b['cpu_x_parse']:.1f}×"
        if size == "large":
            rows.append(("Mod check (`--check`, every rule), a whole mod read and parsed anew", size, time,
                         base, ratio, "≤ 10×", verdict(b["cpu_x_parse"] <= 10)))
        else:
            rows.append(("Mod check (`--check`, every rule), a whole mod read and parsed anew", size, time,
                         base, ratio, "< 1000 ms (300 ships)", verdict(ms(b, "cpu_time") < 1000)))
    index = by_name["BM_WhereUsedIndex/large"]
    rows.append(("Where used: the index of every name, a whole mod read and parsed anew", "large",
                 f"{ms(index):.1f} / {ms(index, 'cpu_time'):.1f}",
                 f"{index['parse_ms']:.1f} / {index['parse_cpu_ms']:.1f} "
                 f"({index['files']:.0f} files)",
                 f"{index['x_parse']:.1f}× / {index['cpu_x_parse']:.1f}×", "≤ 5×",
                 verdict(index["cpu_x_parse"] <= 5)))
    rows.append(("… of which building the index over the parses", "large",
                 f"{index['build_ms']:.1f}", "", f"– / {index['build_cpu_x_parse']:.1f}×", "",
                 ""))
    lookup = by_name["BM_WhereUsedLookup/large"]
    rows.append((f"Where used: one lookup, its {lookup['uses']:.0f} lines made", "large",
                 f"{ms(lookup):.3f} / {ms(lookup, 'cpu_time'):.3f}", "", "", "< 1 ms",
                 verdict(ms(lookup, "cpu_time") < 1)))
    tables = by_name["BM_EquipmentTables/large"]
    rows.append((f"Equipment tables: every kind's rows ({tables['guns']:.0f} guns with their "
                 "munitions), the equipment and goods files read and parsed anew", "large",
                 f"{ms(tables):.1f} / {ms(tables, 'cpu_time'):.1f}",
                 f"{tables['parse_ms']:.1f} / {tables['parse_cpu_ms']:.1f} "
                 f"({tables['files']:.0f} files)",
                 f"{tables['x_parse']:.1f}× / {tables['cpu_x_parse']:.1f}×", "≤ 5×",
                 verdict(tables["cpu_x_parse"] <= 5)))
    rename = by_name["BM_RenameSaved/iterations:4"]
    rows.append((f"Rename of a gun every loadout names ({rename['lines']:.0f} lines), planned, "
                 "reviewed, saved and read again", "large",
                 f"{ms(rename):.0f} / {ms(rename, 'cpu_time'):.0f}",
                 f"{rename['parse_ms']:.1f} / {rename['parse_cpu_ms']:.1f} "
                 f"({rename['files']:.0f} files)",
                 f"{rename['x_parse']:.1f}× / {rename['cpu_x_parse']:.1f}×", "≤ 10×",
                 verdict(rename["cpu_x_parse"] <= 10)))
    crowded = by_name["BM_CheckCrowdedFolder"]
    rows.append(("Mod check of 10,000 [Data] lines naming 2,000 files of a folder of 100,000 "
                 "(letter case unlike the disk's)", "", f"{ms(crowded):.0f} / "
                 f"{ms(crowded, 'cpu_time'):.0f}", "", "", "< 1000 ms",
                 verdict(ms(crowded) < 1000)))
    for megabytes in (4, 50):
        lf = by_name[f"BM_ParseLf/{megabytes}"]
        cr = by_name[f"BM_ParseBareCr/{megabytes}"]
        cr_ratio = ms(cr, "cpu_time") / ms(lf, "cpu_time")
        rows.append((f"Parse of {megabytes} MB of text with bare CR line ends, against the same "
                     "with LF", "", f"{ms(cr):.1f} / {ms(cr, 'cpu_time'):.1f}",
                     f"{ms(lf):.1f} / {ms(lf, 'cpu_time'):.1f} (LF)",
                     f"{ms(cr) / ms(lf):.1f}× / {cr_ratio:.1f}×", "≤ 2×", verdict(cr_ratio <= 2)))
    for size in SIZES:
        b = by_name[f"BM_EngineFieldKeystroke/{size}"]
        rows.append(("Keystroke in an engine field", size, f"{ms(b):.4f} / {ms(b, 'cpu_time'):.4f}",
                     "", "", "< 1 ms", verdict(ms(b) < 1)))
    read = by_name["BM_TradeReadAndGraph"]
    rows.append(("Trade: read the universe and build the travel graph (100 systems, "
                 "1,000 bases, 60 commodities)", "trade",
                 f"{ms(read):.1f} / {ms(read, 'cpu_time'):.1f}",
                 f"{read['parse_ms']:.1f} / {read['parse_cpu_ms']:.1f} (six files, large)",
                 f"{read['x_parse']:.1f}× / {read['cpu_x_parse']:.1f}×",
                 "≤ 10×", verdict(read["cpu_x_parse"] <= 10)))
    small = by_name["BM_TradeReadAndGraphTestUniverse"]
    rows.append(("Trade: the same on the test universe (3 systems, 6 bases)", "demo",
                 f"{ms(small):.2f} / {ms(small, 'cpu_time'):.2f}", "", "", "", ""))
    for name, what, limit in (("BM_TradeBestRoutes",
                               "Trade: the best routes one way for one ship, its travel times "
                               "included", 200),
                              ("BM_TradeRoundTrips",
                               "Trade: the best round trips for one ship, its travel times "
                               "included", 200),
                              ("BM_TradePriceEdit",
                               "Trade: a typed price, the shown tables recomputed", 16),
                              ("BM_TradeCrowdedSystem",
                               "Trade: 3,000 bases in one system, read, built and searched", 1000),
                              ("BM_TradeManyRings",
                               "Trade: 100,000 lane rings in one system, read, built and "
                               "searched", 1000)):
        b = by_name[name]
        rows.append((what, "trade", f"{ms(b):.2f} / {ms(b, 'cpu_time'):.2f}", "", "",
                     f"< {limit} ms", verdict(ms(b) < limit)))
    line = by_name["BM_JournalLine"]
    rows.append(("One journal line, synced to the data sets' disk", "",
                 f"{ms(line):.3f} / {ms(line, 'cpu_time'):.3f}", "", "", "", ""))
    rows.append(("Peak memory (max RSS) of the run over the data sets, largest set included", "",
                 f"{peak_mb:.0f} MB", "", "", "< 100 MB", verdict(peak_mb < 100)))
    if mods_peak_mb is not None:
        rows.append(("… of the whole mods' run (the mod check, where used, the equipment tables "
                     "and the rename on the mid and largest mods)", "", f"{mods_peak_mb:.0f} MB",
                     "", "", "", ""))
    if stress_peak_mb is not None:
        rows.append(("… of the crafted inputs' run (50 MB of text, 100,000 rings and files)", "",
                     f"{stress_peak_mb:.0f} MB", "", "", "", ""))

    print(f"Measured on {context['num_cpus']} × {context['mhz_per_cpu']} MHz, "
          f"{context['date']}, Release build.\n")
    print("| Measurement | Set | Time ms (wall / CPU) | Baseline ms (wall / CPU) "
          "| Ratio (wall / CPU) | Target | Result |")
    print("|---|---|---|---|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")


if __name__ == "__main__":
    main()
