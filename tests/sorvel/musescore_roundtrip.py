#!/usr/bin/env python3
"""The MuseScore round trip: MuseScore 3 exports its bundled demo scores to MusicXML, sorvel
respells them, MuseScore imports the result and exports what it read, and those pitches must
be what the rules say (the independent oracle, applied to MuseScore's first export). A control
run imports MuseScore's own export unchanged and must give back the same pitches, so that a
difference can only come from sorvel's file.

Usage: musescore_roundtrip.py SORVEL WORKFOLDER [DEMO...]
Prints one line per run and ends with "N passed, M failed".
"""

import glob
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import musicxml_oracle as oracle  # noqa: E402
from check_generated import ROW_LISTS  # noqa: E402

MSCORE = shutil.which("mscore3") or shutil.which("musescore3")
# Each conversion takes about a second; a hung one must not hold the suite.
CONVERT_TIMEOUT = 120
TOTAL_BUDGET = 600


def environment(work):
    env = dict(os.environ)
    runtime = os.path.join(work, "runtime")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    env.update(QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=runtime,
               XDG_CONFIG_HOME=os.path.join(work, "config"),
               XDG_DATA_HOME=os.path.join(work, "data"),
               XDG_CACHE_HOME=os.path.join(work, "cache"), HOME=work)
    return env


def convert(source, target, env):
    if os.path.exists(target):
        os.remove(target)
    run = subprocess.run([MSCORE, "-o", target, source], capture_output=True, text=True,
                         timeout=CONVERT_TIMEOUT, env=env)
    if run.returncode != 0 or not os.path.exists(target):
        raise RuntimeError("MuseScore could not convert %s: %s" % (source, run.stderr[-400:]))


def chords(notes, pitch_of=lambda n: n.pitch):
    """The pitches sounding together on a staff (part, measure, staff, time, grace), in pitch
    order: MuseScore writes a chord's notes from the lowest up and may number voices anew."""
    grouped = {}
    for note in notes:
        pitch = pitch_of(note)
        if pitch is not None:
            key = (note.part, note.ordinal, note.staff, note.start, note.grace)
            grouped.setdefault(key, []).append(pitch)
    return {k: sorted(v, key=lambda p: (p.key(), p.step(), p.alter)) for k, v in grouped.items()}


def pitches(path):
    notes, _ = oracle.read_score(open(path, encoding="utf-8").read())
    return notes, chords(notes)


def main():
    sorvel, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    demos = sys.argv[3:] or sorted(glob.glob("/usr/share/mscore3*/demos/*.msc[xz]"))
    if MSCORE is None or not demos:
        print("MuseScore 3 or its demo scores are missing (packages musescore3, "
              "musescore3-common)")
        print("0 passed, 1 failed")
        return 1
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    env = environment(work)
    started = time.monotonic()
    passed = failed = 0
    for demo in demos:
        name = os.path.splitext(os.path.basename(demo))[0]
        exported = os.path.join(work, name + ".musicxml")
        control = os.path.join(work, name + ".control.musicxml")
        try:
            convert(demo, exported, env)
            convert(exported, control, env)
        except (RuntimeError, subprocess.TimeoutExpired) as error:
            print("FAILED %s: %s" % (name, error))
            failed += 1
            continue
        notes, original = pitches(exported)
        if pitches(control)[1] != original:
            print("FAILED %s: MuseScore does not read its own export back unchanged" % name)
            failed += 1
            continue
        for list_name, rows in ROW_LISTS.items():
            for written in (False, True):
                if time.monotonic() - started > TOTAL_BUDGET:
                    print("FAILED: the round trip ran out of its %d s" % TOTAL_BUDGET)
                    print("%d passed, %d failed" % (passed, failed + 1))
                    return 1
                label = "%s, %s rows, %s pitch" % (name, list_name,
                                                   "written" if written else "sounding")
                respelled = os.path.join(work, "%s.%s.%d.musicxml" % (name, list_name, written))
                back = respelled.replace(".musicxml", ".back.musicxml")
                command = [sorvel, "respell", exported, "-o", respelled] + \
                    [a for r in rows for a in ("--row", r)] + (["--written"] if written else [])
                run = subprocess.run(command, capture_output=True, text=True, timeout=300)
                try:
                    if run.returncode != 0:
                        raise RuntimeError("sorvel failed: " + run.stderr.strip())
                    convert(respelled, back, env)
                except (RuntimeError, subprocess.TimeoutExpired) as error:
                    print("FAILED %s: %s" % (label, error))
                    failed += 1
                    continue
                expected = oracle.expected_pitches(notes, [oracle.parse_row(r) for r in rows],
                                                   written=written)
                new_pitch = {id(n): pitch for n, (_, pitch) in zip(notes, expected)}
                wanted = chords(notes, lambda n: new_pitch[id(n)])
                changed = sum(1 for row, _ in expected if row is not None)
                read_back = pitches(back)[1]
                wrong = sorted(k for k in set(wanted) | set(read_back)
                               if wanted.get(k) != read_back.get(k))
                count = sum(len(v) for v in wanted.values())
                if wrong:
                    first = wrong[0]
                    print("FAILED %s: %d chords not as the rules say, first: part %s measure %d "
                          "staff %s: %s, not %s" % (label, len(wrong), first[0], first[1] + 1,
                                                    first[2], read_back.get(first),
                                                    wanted.get(first)))
                    failed += 1
                else:
                    print("ok %s: %d notes respelled; MuseScore reads all %d pitches as the rules "
                          "say" % (label, changed, count))
                    passed += 1
    print("%d passed, %d failed (%.0f s)" % (passed, failed, time.monotonic() - started))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
