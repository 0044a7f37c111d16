#!/usr/bin/env python3
"""sorvel against pugixml's own load and save of the same file (the floor: reading and writing
the XML at all) and against cat, each tool a process of its own, run interleaved (every round
runs every tool once, in turn) so that the machine's state falls alike on all; the medians of
CPU time (user + system), wall time and peak memory (per MB of input) are printed as Markdown.
Then the time per note of one long measure, at two lengths: a measure's cost must grow
linearly with its notes.

Usage: bench-sorvel.py SORVEL SORVEL_BENCH WORKFOLDER [NOTES,NOTES,...]
"""

import os
import statistics
import subprocess
import sys
import time

ROWS = {
    1: ["A#>Bb"],
    4: ["A#>Bb", "Db>C#", "E>Fb:up", "G>F##:down"],
    16: ["A#>Bb", "Db>C#", "E>Fb:up", "G>F##:down", "C>B#:closest", "F#>Gb", "Ab>G#", "D#>Eb",
         "B>Cb", "Eb>D#:up", "Gb>F#", "F>E#", "C#>Db", "Bb>A#:down", "G#>Ab", "A>Bbb"],
}


def measure(command, stdout=subprocess.DEVNULL):
    """CPU seconds, wall seconds and peak resident KiB of one process."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=stdout, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: %s" % " ".join(command))
    return usage.ru_utime + usage.ru_stime, wall, usage.ru_maxrss


def rows_args(count):
    return [a for row in ROWS[count] for a in ("--row", row)]


def tools(sorvel, bench, score, out):
    with_cat = ["sh", "-c", 'cat "$0" > "$1"', score, out]
    table = [("cat", with_cat), ("pugixml load + save", [bench, "floor", score, out])]
    for count in (1, 4, 16):
        table.append(("sorvel, %d row%s" % (count, "" if count == 1 else "s"),
                      [sorvel, "respell", score, *rows_args(count), "-o", out]))
    table.append(("sorvel, 4 rows, --dry-run",
                  [sorvel, "respell", score, *rows_args(4), "--dry-run"]))
    return table


def run_size(sorvel, bench, work, notes):
    score = os.path.join(work, "score-%d.musicxml" % notes)
    out = os.path.join(work, "out.musicxml")
    subprocess.run([bench, "make", str(notes), score], check=True)
    megabytes = os.path.getsize(score) / 1e6
    table = tools(sorvel, bench, score, out)
    rounds = 5 if notes >= 1000000 else 7
    samples = {name: [] for name, _ in table}
    for _ in range(rounds):
        for name, command in table:
            samples[name].append(measure(command))
    floor_cpu = statistics.median(s[0] for s in samples["pugixml load + save"])
    print("\n%d notes, %.1f MB (median of %d interleaved rounds)\n" % (notes, megabytes, rounds))
    print("| tool | CPU s | wall s | peak MiB per MB | CPU / floor |")
    print("|---|---:|---:|---:|---:|")
    for name, _ in table:
        cpu = statistics.median(s[0] for s in samples[name])
        wall = statistics.median(s[1] for s in samples[name])
        peak = statistics.median(s[2] for s in samples[name]) / 1024 / megabytes
        print("| %s | %.3f | %.3f | %.2f | %.2f |" % (name, cpu, wall, peak, cpu / floor_cpu))
    sys.stdout.flush()
    os.remove(score)


def long_measures(sorvel, bench, work):
    print("\nOne long measure per part (its key changes fall inside it), 4 rows: CPU per note\n")
    print("| notes | CPU s | µs per note |")
    print("|---:|---:|---:|")
    for notes in (10000, 100000):
        score = os.path.join(work, "one-%d.musicxml" % notes)
        subprocess.run([bench, "make", str(notes), score, "one-measure"], check=True)
        cpu = statistics.median(
            measure([sorvel, "respell", score, *rows_args(4), "-o", os.path.join(work, "o.xml")])[0]
            for _ in range(5))
        print("| %d | %.3f | %.2f |" % (notes, cpu, cpu / notes * 1e6))
        os.remove(score)


def main():
    sorvel, bench, work = sys.argv[1:4]
    sizes = [int(n) for n in (sys.argv[4] if len(sys.argv) > 4 else
                              "10000,100000,1000000").split(",") if n]
    os.makedirs(work, exist_ok=True)
    print("sorvel against pugixml and cat, whole processes; load average %s" %
          " ".join(open("/proc/loadavg").read().split()[:3]))
    for notes in sizes:
        run_size(sorvel, bench, work, notes)
    long_measures(sorvel, bench, work)


if __name__ == "__main__":
    main()
