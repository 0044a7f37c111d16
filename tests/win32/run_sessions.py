#!/usr/bin/env python3
"""Plays scripted sessions in the stand-in host for the 32-bit tier, in two ways:

  compare: the same session with the 32-bit host and the shipping module, and with the 64-bit
           host and the 64-bit twin. Both must hold, and the output score, every file the
           plug-in left in the settings folder and the session's transcript must be the same
           bytes.
  mismatch: the same session with the shipping module and with a module built with another
           calling convention on one side of the host boundary. The first must hold; the second
           must not: a stack out of balance shows as a crash, a protocol error or a failed
           expectation (or a session that never ends).

run_sessions.py compare  SOURCE RUNNER WORK SESSION HOST32 MODULE32 HOST64 MODULE64
run_sessions.py mismatch SOURCE RUNNER WORK SESSION HOST MODULE BROKEN_MODULE
"""
import difflib
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


def compare(source, runner, work, session, host32, module32, host64, module64):
    runs = {}
    for width, host, module in (("32", host32, module32), ("64", host64, module64)):
        folder = os.path.join(work, f"{session}-{width}")
        code, transcript = play(source, runner, folder, session, host, module)
        if not held(code, transcript):
            print(transcript)
            print(f"FAILED: the {width}-bit session {session} did not hold (exit code {code})")
            return 1
        runs[width] = (transcript, files_of(folder))
    (transcript32, files32), (transcript64, files64) = runs["32"], runs["64"]
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
    if mode == "compare" and len(argv) == 10:
        return compare(*argv[2:])
    if mode == "mismatch" and len(argv) == 9:
        return mismatch(*argv[2:])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
