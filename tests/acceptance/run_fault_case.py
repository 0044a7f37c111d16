#!/usr/bin/env python3
"""Runs one damaged-settings case: puts a damaged shared settings file or pitch-list file into a
fresh settings folder, runs finale.exe with the real plug-in and the case's script (the dialog
must open with the defaults or with what could be read, and nothing may crash), then runs a
second session that saves again, and checks that both files are now well formed and hold what
they must.

run_fault_case.py RUNNER FINALE PLUGIN SCORE SCRIPTS SETTINGS CASE
"""
import os
import re
import shutil
import subprocess
import sys

SHARED = "veskpluginprefs.txt"
PITCH_LIST = "vesksorvel.txt"
HUGE = 10 * 1024 * 1024

STORED_PREFS = (
    "OTHERPLUGIN_KEY=1\n"
    "VESKSORVEL_FROM=C\n"
    "VESKSORVEL_TO=Db\n"
    "VESKSORVEL_UPDIRECTION=1\n"
    "VESKSORVEL_SOUNDINGPITCH=0\n"
    "VESKSORVEL_RESPACE=0\n"
    "VESKSORVEL_LIST_FROM_1=E\n"
    "VESKSORVEL_LIST_TO_1=F\n"
    "VESKSORVEL_LIST_UPDIRECTION_1=0\n"
    "VESKSORVEL_LIST_INUSE_1=1\n"
    "VESKSORVEL_LIST_FROM_2=G\n"
    "VESKSORVEL_LIST_TO_2=A\n"
    "VESKSORVEL_LIST_UPDIRECTION_2=1\n"
    "VESKSORVEL_LIST_INUSE_2=0\n"
).encode()

STORED_SETS = (
    "VESKSORVEL_LIST_NAME_1=Tuba\n"
    "VESKSORVEL_LIST_FROM_1_1=A#\n"
    "VESKSORVEL_LIST_TO_1_1=Bb\n"
    "VESKSORVEL_LIST_UPDIRECTION_1_1=2\n"
    "VESKSORVEL_LIST_INUSE_1_1=1\n"
    "VESKSORVEL_LIST_NAME_2=Horn\n"
    "VESKSORVEL_LIST_FROM_2_1=F#\n"
    "VESKSORVEL_LIST_TO_2_1=Gb\n"
    "VESKSORVEL_LIST_UPDIRECTION_2_1=2\n"
    "VESKSORVEL_LIST_INUSE_2_1=0\n"
).encode()


def filler_lines(with_equals):
    """About 10 MB of other lines: ten other plug-in pairs with values of a megabyte each, or
    lines of text without "="."""
    if with_equals:
        lines = [f"OTHERPLUGIN_BLOB_{n}=" + "x" * (HUGE // 10) + "\n" for n in range(10)]
        return "".join(lines).encode(), len(lines)
    lines = []
    size = 0
    n = 0
    while size < HUGE:
        line = f"no pair on line {n} " + "x" * 60 + "\n"
        lines.append(line)
        size += len(line)
        n += 1
    return "".join(lines).encode(), n


def many_pairs(count):
    """Another plug-in's many small pairs."""
    return "".join(f"OTHERPLUGIN_ITEM_{n}={n}\n" for n in range(count)).encode()


# Each case: which file, its damaged content (None: a folder in its place), the first
# session's script, the set names the pitch-list file must hold at the end, and how many
# other plug-ins' pairs the shared file must keep.
def cases():
    filler, filler_count = filler_lines(True)
    junk, _ = filler_lines(False)
    return {
        "prefs-truncated": (SHARED, STORED_PREFS[: STORED_PREFS.index(b"UPDIRECTION_2") + 5],
                            "PrefsTruncated", ["Again"], 1),
        "prefs-huge": (SHARED, filler + STORED_PREFS, "PrefsStored", ["Again"],
                       filler_count + 1),
        "prefs-many-pairs": (SHARED, many_pairs(20000) + STORED_PREFS, "PrefsStored",
                             ["Again"], 20001),
        "prefs-nul": (SHARED, b"\0" * (1024 * 1024) + b"\n" + STORED_PREFS, "PrefsStored",
                      ["Again"], 1),
        "prefs-all-nul": (SHARED, b"\0" * (1024 * 1024), "PrefsDefaults", ["Again"], 0),
        "prefs-no-equals": (SHARED, STORED_PREFS.replace(b"=", b" ") * 1000, "PrefsDefaults",
                            ["Again"], 0),
        "prefs-folder": (SHARED, None, "PrefsDefaults", ["Again"], 0),
        "sets-truncated": (PITCH_LIST, STORED_SETS[: STORED_SETS.index(b"TO_2_1") + 3],
                           "SetsTruncated", ["Tuba", "Winds", "Again"], 0),
        "sets-huge": (PITCH_LIST, junk + STORED_SETS, "SetsStored",
                      ["Tuba", "Horn", "Winds", "Again"], 0),
        "sets-all-nul": (PITCH_LIST, b"\0" * (1024 * 1024), "SetsNone", ["Winds", "Again"], 0),
        "sets-no-equals": (PITCH_LIST, STORED_SETS.replace(b"=", b"\t") * 1000, "SetsNone",
                           ["Winds", "Again"], 0),
        "sets-folder": (PITCH_LIST, None, "SetsFolder", ["Again"], 0),
    }


def fail(message):
    print("FAILED: " + message)
    sys.exit(1)


def run(runner, finale, plugin, score, script, settings):
    result = subprocess.run(
        [runner, finale, "--plugin", plugin, "--score", score, "--script", script,
         "--settings", settings],
        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=300)
    output = result.stdout.decode("utf-8", "replace")
    print(output)
    if result.returncode != 0 or "all held" not in output:
        fail(f"{os.path.basename(script)} exited with {result.returncode}")


def read_lines(path):
    with open(path, "rb") as f:
        data = f.read()
    if b"\0" in data:
        fail(f"{path} holds a NUL byte")
    if data and not data.endswith(b"\n"):
        fail(f"{path} does not end with a line end")
    lines = data.split(b"\n")[:-1]
    out = []
    for number, line in enumerate(lines, 1):
        line = line[:-1] if line.endswith(b"\r") else line
        if b"\r" in line or not re.fullmatch(rb"[^=\s][^=]*=.*", line):
            fail(f"{path} line {number} is not a key=value pair: {line[:80]!r}")
        key, value = line.split(b"=", 1)
        out.append((key.decode("latin-1"), value.decode("latin-1")))
    return out


SPELLING = re.compile(r"[A-G](#*|b*)")


def check_row(pairs, prefix, suffix, where, in_use=True):
    for key in ("FROM", "TO"):
        value = pairs.get(f"{prefix}{key}{suffix}")
        if value is None or not SPELLING.fullmatch(value):
            fail(f"{where}: {prefix}{key}{suffix} is {value!r}")
    if pairs.get(f"{prefix}UPDIRECTION{suffix}") not in ("0", "1", "2"):
        fail(f"{where}: {prefix}UPDIRECTION{suffix} is not 0, 1 or 2")
    if in_use and pairs.get(f"{prefix}INUSE{suffix}") not in ("0", "1"):
        fail(f"{where}: {prefix}INUSE{suffix} is not 0 or 1")


def check_shared(path, others):
    lines = read_lines(path)
    pairs = dict(lines)
    ours = [k for k, _ in lines if k.upper().startswith("VESKSORVEL_")]
    if len(set(k.upper() for k, _ in lines)) != len(lines):
        fail(f"{path} repeats a key")
    check_row(pairs, "VESKSORVEL_", "", SHARED, in_use=False)
    for key in ("SOUNDINGPITCH", "RESPACE"):
        if pairs.get("VESKSORVEL_" + key) not in ("0", "1"):
            fail(f"{SHARED}: VESKSORVEL_{key} is not 0 or 1")
    for key in ("WINDOWX2", "WINDOWY2", "WINDOWWIDTH2", "WINDOWHEIGHT2"):
        if not re.fullmatch(r"-?[0-9]+", pairs.get("VESKSORVEL_" + key, "")):
            fail(f"{SHARED}: VESKSORVEL_{key} is not a number")
    row = 1
    while f"VESKSORVEL_LIST_FROM_{row}" in pairs:
        check_row(pairs, "VESKSORVEL_LIST_", f"_{row}", SHARED)
        row += 1
    if row == 1:
        fail(f"{SHARED} holds no row of the working list")
    kept = len(lines) - len(ours)
    if kept != others:
        fail(f"{SHARED} keeps {kept} other pairs, expected {others}")


def check_sets(path, names):
    lines = read_lines(path)
    pairs = dict(lines)
    if len(pairs) != len(lines):
        fail(f"{path} repeats a key")
    found = []
    s = 1
    while f"VESKSORVEL_LIST_NAME_{s}" in pairs:
        found.append(pairs[f"VESKSORVEL_LIST_NAME_{s}"])
        r = 1
        while f"VESKSORVEL_LIST_FROM_{s}_{r}" in pairs:
            check_row(pairs, "VESKSORVEL_LIST_", f"_{s}_{r}", PITCH_LIST)
            r += 1
        if r == 1:
            fail(f"{PITCH_LIST}: set {s} has no row")
        s += 1
    if found != names:
        fail(f"{PITCH_LIST} holds the sets {found}, expected {names}")
    for key, _ in lines:
        if not re.fullmatch(r"VESKSORVEL_LIST_(NAME_\d+|(FROM|TO|UPDIRECTION|INUSE)_\d+_\d+)", key):
            fail(f"{PITCH_LIST} holds the stray key {key}")


def main():
    runner, finale, plugin, score, scripts, settings, case = sys.argv[1:8]
    file_name, content, script, names, others = cases()[case]
    shutil.rmtree(settings, ignore_errors=True)
    os.makedirs(settings)
    damaged = os.path.join(settings, file_name)
    if content is None:
        os.makedirs(damaged)
    else:
        with open(damaged, "wb") as f:
            f.write(content)

    run(runner, finale, plugin, score, os.path.join(scripts, script + ".script"), settings)
    if content is None:
        if not os.path.isdir(damaged):
            fail(f"the folder {file_name} was replaced")
        os.rmdir(damaged)
    run(runner, finale, plugin, score, os.path.join(scripts, "Resave.script"), settings)

    stray = set(os.listdir(settings)) - {SHARED, PITCH_LIST, "kind7"}
    if stray:
        fail(f"files left in the settings folder: {sorted(stray)}")
    check_shared(os.path.join(settings, SHARED), others)
    check_sets(os.path.join(settings, PITCH_LIST), names)
    print(f"{case}: both files are well formed")


if __name__ == "__main__":
    main()
