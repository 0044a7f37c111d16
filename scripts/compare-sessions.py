#!/usr/bin/env python3
"""Plays the recorded sessions with two revisions' stand-in host and 64-bit module and compares
what each pair left: the transcript with every host call (--trace), the exit code, the output
score and every file in the settings folder, byte for byte.

compare-sessions.py OLD_REV [NEW_REV] [--only NAME,...] [--work FOLDER]

NEW_REV defaults to HEAD. Each revision is exported (git archive) into WORK/tree-SHA and only
finale and VeskSorvel are built there with the win64 preset (JOBS, default 2, at nice 5); a tree
already built is only brought up to date. WORK defaults to build/compare-sessions.

Little needs normalising, since both pairs play each session in the same folder (WORK/run), from
the same copies of the host and module (WORK/bin), with the same inputs (taken from NEW_REV's tree,
else OLD_REV's, else this checkout's), in one Wine prefix (NEW_REV's build/win64 one, kept alive by
scripts/wine-desktop.sh as the tests do). So every path and window the plug-in sees is the same on
both sides. What remains are addresses in the trace: window handles, which the Wine server numbers
across every process of the prefix (so no two runs share them), and the addresses of the plug-in's
buffers, keys and regions, which are wherever each build's stack and heap put them. In "call" lines
a handle the host made (what a call answers, and the dialog the dialog functions take) becomes the
order of its first appearance (@1, @2, ...), so a call that passes another window or frame than
before still differs; every other address is the plug-in's own memory and reads "@memory" (what it
holds shows in the answers, the score and the files). Versions (the last argument) and record tags
(FX_...EData's first) are values and stay. Files are compared as they are. What each side left is
kept in WORK/results/old|new/SESSION.

A session that differs is played once more with both sides and counts as differing only when it
differs again: the dialog's answers to window messages (activation, moves) come when Wine delivers
them, and the host calls it makes then have been seen, once in some hundred plays, a few calls
away from where they were. Prints one line per session (same / DIFFERS, with the first
difference; skipped when no tree has its script) and "N same, M differ".
Exit code 0 when every session is the same, 1 when any differs, 2 when a tree cannot be built.
"""
import argparse
import os
import re
import runpy
import shutil
import subprocess
import sys

# run_fault_case.py is loaded from a revision's tree or this checkout, which gain no __pycache__.
sys.dont_write_bytecode = True
REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TIMEOUT = 600
UI = "tests/ui"
SCORE = f"{UI}/data/Score.json"
RANDOM_SCRIPT = "tests/stress/RandomUser.script"
FAULTS = "tests/acceptance"


class Session:
    """One session: a score, the runs of the host (each a script and its arguments) that share
    one settings folder, how that folder starts, and the exit code the tests expect."""

    def __init__(self, name, script, score=SCORE, extra=(), seed=None, expect=0, **more):
        self.name = name
        self.score = score
        self.runs = [(script, list(extra))]
        self.seed = seed
        self.expect = expect
        self.host_name = more.get("host_name")  # the host started from a copy of this name
        self.links = more.get("links", {})  # settings file -> where it moves, linked back
        self.read_only = more.get("read_only", [])
        self.no_settings = more.get("no_settings", False)
        self.fault = more.get("fault")  # an acceptance case: its damaged file first

    def inputs(self):
        paths = [self.score] + [script for script, _ in self.runs]
        return paths + ([self.seed] if self.seed else [])


def dialog(name, **more):
    """A dialog script of tests/ui, played as tests/ui/CMakeLists.txt plays it."""
    script = f"{UI}/scripts/{more.pop('script', name)}.script"
    if "seed" in more:
        more["seed"] = f"{UI}/data/{more['seed']}"
    return Session(name, script, **more)


def fault_case(case, script):
    """An acceptance case (tests/acceptance/run_fault_case.py): the damaged file, the case's
    script, then a second run that saves again."""
    session = Session(f"fault-{case}", f"{FAULTS}/scripts/{script}.script", fault=case)
    session.runs.append((f"{FAULTS}/scripts/Resave.script", []))
    return session


def random_user(number, rounds, **more):
    """The harness's seeded random user, from a fresh settings folder unless seeded."""
    name = more.pop("name", f"random-user-{number}")
    return Session(name, RANDOM_SCRIPT, extra=["--random-user", str(number), str(rounds)], **more)


STORED = {"seed": "stored"}
SESSIONS = [
    dialog("FreshInstall"), dialog("AddInverse"), dialog("DeleteUpdate"), dialog("CheckMarks"),
    dialog("Change"), dialog("PitchSets"), dialog("InvokeTwice"), dialog("Reopen"),
    dialog("HostModal"), dialog("TerminateOnly"), dialog("StoredState", **STORED),
    dialog("RedrawRegion"), dialog("OtherHostName", host_name="Notation.exe"),
    dialog("OldHost", extra=["--host-version", "0x10800000"]),
    dialog("OldestHost", script="OldHost", extra=["--host-version", "0x0F000000"]),
    dialog("DeleteThenUpdate"), dialog("InvalidRows", seed="invalid"), dialog("SetNames"),
    dialog("ReadOnlyFiles", read_only=["veskpluginprefs.txt", "vesksorvel.txt"], **STORED),
    dialog("SetsLocked", **STORED), dialog("PrefsLocked", **STORED),
    dialog("Links", links={"veskpluginprefs.txt": "real/veskpluginprefs.txt",
                           "vesksorvel.txt": "@run/elsewhere/vesksorvel.txt"}, **STORED),
    dialog("NoFolder", no_settings=True),
    dialog("KeySignatures", score=f"{UI}/data/Keys.json"),
    # Scripts that older revisions play in the Wine tier (the native dialog test took them over).
    dialog("AddRows"), dialog("UpdateDuplicates", seed="duplicates"),
    fault_case("prefs-truncated", "PrefsTruncated"), fault_case("prefs-huge", "PrefsStored"),
    fault_case("prefs-many-pairs", "PrefsStored"), fault_case("prefs-nul", "PrefsStored"),
    fault_case("prefs-all-nul", "PrefsDefaults"), fault_case("prefs-no-equals", "PrefsDefaults"),
    fault_case("prefs-folder", "PrefsDefaults"), fault_case("sets-truncated", "SetsTruncated"),
    fault_case("sets-huge", "SetsStored"), fault_case("sets-all-nul", "SetsNone"),
    fault_case("sets-no-equals", "SetsNone"), fault_case("sets-folder", "SetsFolder"),
    Session("demo", "examples/demo.script", score="examples/demo-score.json"),
    Session("serenade", "examples/SpellFlatsInGMajor.script", score="examples/Serenade.json"),
    random_user(20261208, 1000), random_user(1, 300), random_user(4242, 300),
    random_user(20261208, 10, name="random-user-notices", expect=1, seed=f"{UI}/data/stored"),
]


def run(command, log=None, cwd=None):
    """Runs a command, its output into log (a path) or shown; answers whether it succeeded."""
    if log is None:
        return subprocess.run(command, cwd=cwd, check=False).returncode == 0
    with open(log, "ab") as out:
        return subprocess.run(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                              check=False).returncode == 0


def git(*args):
    return subprocess.run(["git", "-C", REPO, *args], check=True, stdout=subprocess.PIPE,
                          text=True).stdout.strip()


def built_tree(work, rev):
    """WORK/tree-SHA with rev's files and its win64 finale.exe and VeskSorvel.dll built; answers
    the tree's folder, or None (having said why) when the build failed."""
    sha = git("rev-parse", "--verify", f"{rev}^{{commit}}")
    tree = os.path.join(work, f"tree-{sha}")
    if not os.path.isdir(tree):
        # Exported whole into a folder of its own first, so that a half-exported tree is never
        # taken for a finished one.
        partial = tree + ".partial"
        shutil.rmtree(partial, ignore_errors=True)
        os.makedirs(partial)
        archive = subprocess.Popen(["git", "-C", REPO, "archive", sha], stdout=subprocess.PIPE)
        subprocess.run(["tar", "-x", "-C", partial], stdin=archive.stdout, check=True)
        if archive.wait() != 0:
            sys.exit(f"git archive {sha} failed")
        os.rename(partial, tree)
    log = os.path.join(tree, "build.log")
    print(f"== building finale and VeskSorvel of {rev} ({sha[:10]}) in {tree} (log: {log})",
          flush=True)
    nice = ["nice", "-n", "5"]
    jobs = os.environ.get("JOBS", "2")
    if not (run(nice + ["cmake", "--preset", "win64"], log, tree) and
            run(nice + ["cmake", "--build", "--preset", "win64", "-j", jobs, "--target", "finale",
                        "VeskSorvel"], log, tree)):
        with open(log, encoding="utf-8", errors="replace") as f:
            print("".join(f.readlines()[-30:]))
        print(f"== the win64 build of {rev} FAILED")
        return None
    return tree


def source_of(trees, path):
    """The tree a session's input is taken from: the new one, else the old one, else this
    checkout (so that a session written after both revisions can still hold them to each other)."""
    return next((tree for tree in (trees["new"], trees["old"], REPO)
                 if os.path.exists(os.path.join(tree, path))), None)


def fault_content(trees, case):
    """The damaged file of an acceptance case, as run_fault_case.py makes it."""
    tree = source_of(trees, f"{FAULTS}/run_fault_case.py")
    cases = runpy.run_path(os.path.join(tree, FAULTS, "run_fault_case.py"))["cases"]
    file_name, content, *_ = cases()[case]
    return file_name, content


def copy_input(trees, path, folder):
    """Copies a session's input (a file, or a seed folder's files) into folder; answers the copy."""
    source = os.path.join(source_of(trees, path), path)
    if os.path.isdir(source):
        shutil.copytree(source, folder, dirs_exist_ok=True)
        return folder
    os.makedirs(folder, exist_ok=True)
    return shutil.copy(source, folder)


def settle_settings(session, trees, run_folder):
    """Makes the session's settings folder as its test does; answers the host's folder option."""
    if session.no_settings:
        return ["--no-settings-folder"]
    settings = os.path.join(run_folder, "settings")
    os.makedirs(settings)
    if session.seed:
        copy_input(trees, session.seed, settings)
    if session.fault:
        file_name, content = fault_content(trees, session.fault)
        if content is None:
            os.makedirs(os.path.join(settings, file_name))
        else:
            with open(os.path.join(settings, file_name), "wb") as f:
                f.write(content)
    for name, target in session.links.items():
        if target.startswith("@run/"):
            target = os.path.join(run_folder, target[len("@run/"):])
        moved = os.path.join(settings, target)
        os.makedirs(os.path.dirname(moved), exist_ok=True)
        os.rename(os.path.join(settings, name), moved)
        os.symlink(target, os.path.join(settings, name))
    for name in session.read_only:
        os.chmod(os.path.join(settings, name), 0o444)
    return ["--settings", settings]


def play_run(runner, host, module, arguments, cwd):
    """One run of the host; answers its exit code (None when it did not end) and its output."""
    command = [runner, host, "--plugin", module] + arguments
    try:
        done = subprocess.run(command, cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, timeout=TIMEOUT, check=False)
    except subprocess.TimeoutExpired as expired:
        return None, expired.output or b""
    return done.returncode, done.stdout


def play(session, trees, side, work, runner):
    """Plays the session with one side's host and module in WORK/run; answers (exit codes,
    transcript, files)."""
    binaries = os.path.join(work, "bin")
    shutil.rmtree(binaries, ignore_errors=True)
    os.makedirs(binaries)
    build = os.path.join(trees[side], "build", "win64")
    host = shutil.copy(os.path.join(build, "host", "finale.exe"), binaries)
    module = shutil.copy(os.path.join(build, "VeskSorvel.dll"), binaries)
    if session.host_name:
        host = shutil.copy(host, os.path.join(binaries, session.host_name))
    run_folder = os.path.join(work, "run")
    shutil.rmtree(run_folder, ignore_errors=True)
    inputs = os.path.join(run_folder, "in")
    score = copy_input(trees, session.score, inputs)
    settings = settle_settings(session, trees, run_folder)
    codes, transcript = [], b""
    for number, (script, extra) in enumerate(session.runs, 1):
        arguments = ["--score", score, "--script", copy_input(trees, script, inputs)] + settings
        arguments += ["--out", os.path.join(run_folder, f"out-{number}.json")] + extra
        code, output = play_run(runner, host, module,
                                arguments + ([] if "--trace" in extra else ["--trace"]),
                                run_folder)
        codes.append(code)
        # The exit codes are compared apart, so that a transcript's first difference is a call.
        transcript += f"== run {number}\n".encode() + output
        if session.fault and number == 1 and len(settings) == 2:
            # As the acceptance test does: a folder in a settings file's place goes before the
            # second run saves again.
            damaged = os.path.join(settings[1], fault_content(trees, session.fault)[0])
            if os.path.isdir(damaged):
                os.rmdir(damaged)
    return codes, transcript, files_of(run_folder)


def files_of(folder):
    """Every file and folder under folder but the inputs: a file's bytes, a link's target."""
    found = {}
    for where, folders, names in os.walk(folder):
        relative = os.path.relpath(where, folder)
        if relative == ".":
            folders.remove("in")
        for name in folders + names:
            path = os.path.join(where, name)
            key = os.path.normpath(os.path.join(relative, name))
            if os.path.islink(path):
                found[key] = b"link to " + os.readlink(path).encode()
            elif os.path.isdir(path):
                found[key + "/"] = b"folder"
            else:
                with open(path, "rb") as f:
                    found[key] = f.read()
    return found


def keep(work, side, name, codes, transcript):
    """Keeps what a side left in WORK/results/SIDE/NAME, for a look at a difference."""
    kept = os.path.join(work, "results", side, name)
    shutil.rmtree(kept, ignore_errors=True)
    os.makedirs(os.path.dirname(kept), exist_ok=True)
    shutil.move(os.path.join(work, "run"), kept)
    with open(os.path.join(kept, "transcript.txt"), "wb") as f:
        f.write(transcript)
    with open(os.path.join(kept, "exit-codes.txt"), "w", encoding="utf-8") as f:
        f.write(" ".join(str(code) for code in codes) + "\n")


ADDRESS = re.compile(rb'"(?:\\.|[^"\\])*"|\b0x[0-9A-F]+\b')
# The version (the last argument) and a record's tag (FX_...EData's first) are values, not
# addresses.
VALUE_ARGUMENTS = re.compile(rb"^call FX_\w*EData\(0x[0-9A-F]+|(?:\(|, )0x[0-9A-F]+\)(?= -> |$)")
# Handles the host made: what a call answers (frames, windows) and the dialog that the dialog
# functions take first.
HANDLES = re.compile(rb"-> (0x[0-9A-F]+)$|^call FX_\w*(?:Dlg|Dialog)\w*\((0x[0-9A-F]+)")


def numbered_addresses(transcript):
    """The transcript with the addresses in its "call" lines made comparable: the host's handles
    numbered by first appearance (@1, @2, ...), the plug-in's own memory all "@memory"."""
    lines = transcript.split(b"\n")
    handles = {token for line in lines if line.startswith(b"call ")
               for match in HANDLES.finditer(line) for token in match.groups() if token}
    order = {}

    def replace(match):
        token = match.group(0)
        if token.startswith(b'"'):
            return token
        if token not in handles:
            return b"@memory"
        return b"@%d" % order.setdefault(token, len(order) + 1)

    for index, line in enumerate(lines):
        if line.startswith(b"call "):
            kept = [m.span() for m in VALUE_ARGUMENTS.finditer(line)]
            pieces, at = [], 0
            for start, end in kept + [(len(line), len(line))]:
                pieces.append(ADDRESS.sub(replace, line[at:start]) + line[start:end])
                at = end
            lines[index] = b"".join(pieces)
    return b"\n".join(lines)


def first_difference(old, new):
    """Where two byte strings first differ: the line number and both lines."""
    old_lines, new_lines = old.split(b"\n"), new.split(b"\n")
    for number, (a, b) in enumerate(zip(old_lines, new_lines), 1):
        if a != b:
            return f"line {number}: old {a[:160]!r} new {b[:160]!r}"
    shorter = "new" if len(new_lines) < len(old_lines) else "old"
    return f"the {shorter} one ends at line {min(len(old_lines), len(new_lines))}"


def differences(old, new):
    """What differs between two sides' (exit codes, transcript, files), first things first."""
    found = []
    if old[0] != new[0]:
        found.append(f"exit codes old {old[0]} new {new[0]}")
    transcripts = [numbered_addresses(side[1]) for side in (old, new)]
    if transcripts[0] != transcripts[1]:
        found.append("transcript " + first_difference(*transcripts))
    for name in sorted(set(old[2]) | set(new[2])):
        a, b = old[2].get(name), new[2].get(name)
        if a is None or b is None:
            found.append(f"{name} only {'new' if a is None else 'old'}")
        elif a != b:
            found.append(f"{name} {first_difference(a, b)}")
    return found


def expected(session, codes):
    """Whether every run ended as the session's test expects (the last with its code)."""
    wanted = [0] * (len(codes) - 1) + [session.expect]
    return codes == wanted


def input_notes(session, trees):
    """Inputs that the two revisions hold differently (the new one's are played by both)."""
    notes = []
    for path in session.inputs():
        here = [os.path.join(trees[side], path) for side in ("old", "new")]
        if not any(os.path.exists(p) for p in here):
            notes.append(f"{path} from this checkout: neither revision has it")
        elif not all(os.path.exists(p) for p in here):
            notes.append(f"{path} only in the {'old' if os.path.exists(here[0]) else 'new'} tree")
        elif subprocess.run(["diff", "-r", "-q", *here], stdout=subprocess.DEVNULL,
                            check=False).returncode != 0:
            notes.append(f"{path} differs between the revisions")
    return notes


def unplayed(trees):
    """Scripts of the tests that no session here plays, so that a new one is not missed."""
    played = {path for session in SESSIONS for path in session.inputs()}
    found = set()
    for tree in trees.values():
        for folder in (f"{UI}/scripts", f"{FAULTS}/scripts"):
            if os.path.isdir(os.path.join(tree, folder)):
                found |= {f"{folder}/{name}" for name in os.listdir(os.path.join(tree, folder))}
    return sorted(found - played)


def played_pair(session, trees, work, runner):
    """Plays a session with both sides, keeping what each left; answers both and what differs."""
    sides = {}
    for side in ("old", "new"):
        sides[side] = play(session, trees, side, work, runner)
        keep(work, side, session.name, sides[side][0], sides[side][1])
    return sides, differences(sides["old"], sides["new"])


def compare_session(session, trees, work, runner):
    """Plays a session with both sides; prints its line and answers whether it is the same
    (None when no tree has its inputs)."""
    missing = [path for path in session.inputs() if source_of(trees, path) is None]
    if missing:
        print(f"skipped  {session.name}: no tree has {', '.join(missing)}", flush=True)
        return None
    sides, found = played_pair(session, trees, work, runner)
    notes = []
    if found:
        # Window messages (activation, moves) reach the dialog when Wine delivers them, so the
        # host calls the plug-in makes on them can, rarely, fall a few calls earlier or later.
        # That is not the same difference twice; a change of behaviour is.
        sides, again = played_pair(session, trees, work, runner)
        if not again:
            notes.append(f"the first play differed ({found[0]}); played again, it did not")
        found = again
    notes += [f"{side} ended {sides[side][0]}, its test expects {session.expect} at the end"
              for side in ("old", "new") if not expected(session, sides[side][0])]
    notes += input_notes(session, trees)
    if found:
        what = f"DIFFERS  {session.name}: " + "; ".join(found[:3])
        what += f"; and {len(found) - 3} more" if len(found) > 3 else ""
    else:
        runs = len(session.runs)
        lines = len(sides["new"][1].split(b"\n"))
        files = sum(not name.endswith("/") for name in sides["new"][2])
        what = (f"same     {session.name} ({runs} run{'s' if runs > 1 else ''}, {lines} transcript "
                f"lines, {files} file{'s' if files != 1 else ''})")
    print(what + "".join(f"\n         note: {note}" for note in notes), flush=True)
    return not found


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n", maxsplit=1)[0])
    parser.add_argument("old")
    parser.add_argument("new", nargs="?", default="HEAD")
    parser.add_argument("--only", help="the sessions to play, by name, separated by commas")
    parser.add_argument("--work", default=os.path.join(REPO, "build", "compare-sessions"))
    options = parser.parse_args()
    work = os.path.abspath(options.work)
    os.makedirs(work, exist_ok=True)
    trees = {"old": built_tree(work, options.old), "new": built_tree(work, options.new)}
    if None in trees.values():
        return 2
    chosen = SESSIONS
    if options.only:
        names = options.only.split(",")
        chosen = [s for s in SESSIONS if s.name in names]
        if len(chosen) != len(names):
            known = ", ".join(s.name for s in SESSIONS)
            print(f"unknown session among {options.only}; the sessions are: {known}")
            return 2
    for path in unplayed(trees):
        print(f"note: no session here plays {path}")
    scripts = os.path.join(trees["new"], "scripts")
    prefix = os.path.join(trees["new"], "build", "win64", "wineprefix")
    runner = os.path.join(trees["new"], "build", "win64", "wine-run.sh")
    if not run([os.path.join(scripts, "wine-prefix.sh"), prefix]):
        return 2
    run([os.path.join(scripts, "wine-desktop.sh"), "start", prefix])
    try:
        outcomes = [compare_session(s, trees, work, runner) for s in chosen]
    finally:
        run([os.path.join(scripts, "wine-desktop.sh"), "stop", prefix])
    skipped = outcomes.count(None)
    print(f"{outcomes.count(True)} same, {outcomes.count(False)} differ"
          + (f", {skipped} skipped" if skipped else ""))
    return 1 if False in outcomes else 0


if __name__ == "__main__":
    sys.exit(main())
