#!/usr/bin/env python3
"""Plays scripted sessions in the stand-in host for the 32-bit tier, in three ways:

  record:  the session with the 64-bit host and the 64-bit twin (a test of the win64 tree). It
           must hold; its transcript and every file it wrote are kept in REFERENCE/SESSION, with
           a stamp of what made them (the host, the module, the score, the script, the seeds).
  compare: the same session with the 32-bit host and the shipping module. Both must hold, and
           the output score, every file the plug-in left in the settings folder and the
           session's transcript must be the same bytes as the 64-bit session's. The 64-bit side
           is the one record kept, when its stamp says it was made from today's host, module and
           session files; otherwise (win64's tests not run yet, or run on older files) it is
           played here again.
  mismatch: the same session with the shipping module and with a module built with another
           calling convention on one side of the host boundary. The first must hold; the second
           must not: a stack out of balance shows as a crash, a protocol error or a failed
           expectation (or a session that never ends).

run_sessions.py record   SOURCE RUNNER REFERENCE SESSION HOST64 MODULE64
run_sessions.py compare  SOURCE RUNNER WORK SESSION HOST32 MODULE32 REFERENCE HOST64 MODULE64
run_sessions.py mismatch SOURCE RUNNER WORK SESSION HOST MODULE BROKEN_MODULE
"""
import difflib
import hashlib
import os
import shutil
import subprocess
import sys

# name: (score, script, more arguments, settings folder to start from), paths from the source
# tree. Each session ends with "all held" and exit code 0.
UI = "tests/ui"
SESSIONS = {
    "demo": ("examples/demo-score.json", "examples/demo.script", [], None),
    "serenade": ("examples/Serenade.json", "examples/SpellFlatsInGMajor.script", [], None),
    "fresh-install": (f"{UI}/data/Score.json", f"{UI}/scripts/FreshInstall.script", [], None),
    "add-inverse": (f"{UI}/data/Score.json", f"{UI}/scripts/AddInverse.script", [], None),
    "delete-update": (f"{UI}/data/Score.json", f"{UI}/scripts/DeleteUpdate.script", [], None),
    "check-marks": (f"{UI}/data/Score.json", f"{UI}/scripts/CheckMarks.script", [], None),
    "change": (f"{UI}/data/Score.json", f"{UI}/scripts/Change.script", [], None),
    "pitch-sets": (f"{UI}/data/Score.json", f"{UI}/scripts/PitchSets.script", [], None),
    "reopen": (f"{UI}/data/Score.json", f"{UI}/scripts/Reopen.script", [], None),
    "stored-state": (f"{UI}/data/Score.json", f"{UI}/scripts/StoredState.script", [],
                     f"{UI}/data/stored"),
    "old-host": (f"{UI}/data/Score.json", f"{UI}/scripts/OldHost.script",
                 ["--host-version", "0x10800000"], None),
    "random-user": (f"{UI}/data/Score.json", "tests/stress/RandomUser.script",
                    ["--random-user", "20261208", "300"], None),
}
TIMEOUT = 300


def play(source, runner, work, session, host, module):
    """Runs one session in a fresh folder WORK; answers (exit code, transcript)."""
    score, script, extra, seed = SESSIONS[session]
    shutil.rmtree(work, ignore_errors=True)
    settings = os.path.join(work, "settings")
    if seed:
        shutil.copytree(os.path.join(source, seed), settings)
    else:
        os.makedirs(settings)
    command = [runner, host, "--plugin", module, "--score", os.path.join(source, score),
               "--script", os.path.join(source, script), "--settings", settings,
               "--out", os.path.join(work, "out.json")] + extra
    try:
        done = subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, timeout=TIMEOUT, check=False)
    except subprocess.TimeoutExpired as expired:
        return None, (expired.output or b"").decode("utf-8", "replace")
    return done.returncode, done.stdout.decode("utf-8", "replace").replace("\r\n", "\n")


def held(code, transcript):
    return code == 0 and "all held" in transcript


def files_of(work):
    """Every file the session wrote: the output score and the settings folder."""
    found = {}
    for folder, _, names in os.walk(work):
        for name in names:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                found[os.path.relpath(path, work)] = f.read()
    return found


def stamp(source, session, host, module):
    """What a session's outcome depends on besides the platform: the host, the module, and the
    session's score, script, arguments and seed files."""
    score, script, extra, seed = SESSIONS[session]
    digest = hashlib.sha256(" ".join(extra).encode())
    paths = [host, module, os.path.join(source, score), os.path.join(source, script)]
    if seed:
        seeds = os.path.join(source, seed)
        paths += [os.path.join(folder, name) for folder, _, names in sorted(os.walk(seeds))
                  for name in sorted(names)]
    for path in paths:
        with open(path, "rb") as f:
            digest.update(hashlib.sha256(f.read()).digest())
    return digest.hexdigest()


def played(source, runner, folder, session, host, module, width):
    """Plays one session in FOLDER/run; answers (transcript, files), or None when it did not
    hold (and says so)."""
    code, transcript = play(source, runner, os.path.join(folder, "run"), session, host, module)
    if not held(code, transcript):
        print(transcript)
        print(f"FAILED: the {width}-bit session {session} did not hold (exit code {code})")
        return None
    return transcript, files_of(os.path.join(folder, "run"))


def record(source, runner, reference, session, host64, module64):
    folder = os.path.join(reference, session)
    shutil.rmtree(folder, ignore_errors=True)
    run = played(source, runner, folder, session, host64, module64, "64")
    if run is None:
        return 1
    with open(os.path.join(folder, "transcript.txt"), "w", encoding="utf-8", newline="") as f:
        f.write(run[0])
    # Written last: a reference without its stamp (a run cut short) is never taken.
    with open(os.path.join(folder, "stamp.txt"), "w", encoding="utf-8") as f:
        f.write(stamp(source, session, host64, module64))
    print(f"{session}: held with the 64-bit twin; kept {len(run[1])} files in {folder}")
    return 0


def recorded(source, reference, session, host64, module64):
    """The 64-bit session as win64's tests kept it, or None when there is no current one."""
    folder = os.path.join(reference, session)
    try:
        with open(os.path.join(folder, "stamp.txt"), encoding="utf-8") as f:
            kept = f.read()
        if kept != stamp(source, session, host64, module64):
            print(f"{session}: the 64-bit record in {folder} was made from other files")
            return None
        with open(os.path.join(folder, "transcript.txt"), encoding="utf-8", newline="") as f:
            transcript = f.read()
    except OSError as error:
        print(f"{session}: no 64-bit record to compare with ({error.strerror}: {error.filename})")
        return None
    return transcript, files_of(os.path.join(folder, "run"))


def compare(source, runner, work, session, host32, module32, reference, host64, module64):
    run32 = played(source, runner, os.path.join(work, f"{session}-32"), session, host32, module32,
                   "32")
    if run32 is None:
        return 1
    run64 = recorded(source, reference, session, host64, module64)
    if run64 is None:
        print(f"{session}: playing the 64-bit session here")
        run64 = played(source, runner, os.path.join(work, f"{session}-64"), session, host64,
                       module64, "64")
        if run64 is None:
            return 1
    (transcript32, files32), (transcript64, files64) = run32, run64
    failures = 0
    if transcript32 != transcript64:
        failures += 1
        print("the transcripts differ:")
        sys.stdout.writelines(difflib.unified_diff(transcript64.splitlines(True),
                                                   transcript32.splitlines(True), "64-bit", "32-bit"))
    for name in sorted(set(files32) | set(files64)):
        if files32.get(name) != files64.get(name):
            failures += 1
            sizes = [len(f[name]) if name in f else "no file" for f in (files64, files32)]
            print(f"{name} differs: 64-bit {sizes[0]} bytes, 32-bit {sizes[1]} bytes")
    if failures:
        print(f"FAILED: the session {session} gives different results in 32 and 64 bits")
        return 1
    print(f"{session}: transcript and {len(files32)} files the same in 32 and 64 bits: "
          + ", ".join(f"{name} ({len(files32[name])} bytes)" for name in sorted(files32)))
    return 0


def mismatch(source, runner, work, session, host, module, broken):
    code, transcript = play(source, runner, os.path.join(work, f"{session}-right"), session, host,
                            module)
    if not held(code, transcript):
        print(transcript)
        print(f"FAILED: the session {session} does not hold with the right module (exit {code})")
        return 1
    code, transcript = play(source, runner, os.path.join(work, f"{session}-mismatched"), session,
                            host, broken)
    # What the session did up to the fault, and the fault (Wine's crash report follows it).
    lines = transcript.strip().splitlines()
    ends = [i for i, line in enumerate(lines) if line.startswith("Unhandled exception")]
    shown = lines[:ends[0] + 1] if ends else lines[-12:]
    tail = "\n".join(line for line in shown[-12:] if not line.startswith("wine: Unhandled"))
    if held(code, transcript):
        print(transcript)
        print(f"FAILED: the session {session} held with the mismatched module: the suite would "
              "not notice a wrong calling convention")
        return 1
    what = f"did not end within {TIMEOUT} s" if code is None else f"ended with exit code {code}"
    print(f"{session}: held with the right module; with the mismatched one it {what}:\n{tail}")
    return 0


def main(argv):
    mode = argv[1] if len(argv) > 1 else ""
    if mode == "record" and len(argv) == 8:
        return record(*argv[2:])
    if mode == "compare" and len(argv) == 11:
        return compare(*argv[2:])
    if mode == "mismatch" and len(argv) == 9:
        return mismatch(*argv[2:])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
