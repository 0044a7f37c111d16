#!/usr/bin/env python3
"""sorvel as a user meets it: exit codes, messages, what is (and is not) written, dry runs,
reports, pitch sets from the plug-in's file, in-place replacement and batches on several
threads.

Usage: check_command_line.py SORVEL WORKFOLDER
"""

import csv
import filecmp
import json
import os
import shutil
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_scores  # noqa: E402

FROM_MESSAGE = ("The 'From' field has wrong syntax. Use a syntax similar to: A#, Bb, C## (or Cx), "
                "Dbb, etc.")
TO_MESSAGE = ("The 'To' field has wrong syntax. Use a syntax similar to: A#, Bb, C## (or Cx), "
              "Dbb, etc.")

# The pitch-list file as the plug-in writes it on Windows (CR LF), with a second set.
PITCH_LIST = (
    "VESKSORVEL_LIST_NAME_1=Tuba\r\n"
    "VESKSORVEL_LIST_FROM_1_1=A#\r\n"
    "VESKSORVEL_LIST_TO_1_1=Bb\r\n"
    "VESKSORVEL_LIST_UPDIRECTION_1_1=2\r\n"
    "VESKSORVEL_LIST_INUSE_1_1=1\r\n"
    "VESKSORVEL_LIST_FROM_1_2=F#\r\n"
    "VESKSORVEL_LIST_TO_1_2=Gb\r\n"
    "VESKSORVEL_LIST_UPDIRECTION_1_2=1\r\n"
    "VESKSORVEL_LIST_INUSE_1_2=0\r\n"
    "VESKSORVEL_LIST_NAME_2=Cor \xe9t\xe9\r\n"
    "VESKSORVEL_LIST_FROM_2_1=C\r\n"
    "VESKSORVEL_LIST_TO_2_1=B#\r\n"
    "VESKSORVEL_LIST_UPDIRECTION_2_1=0\r\n"
    "VESKSORVEL_LIST_INUSE_2_1=1\r\n"
).encode("latin-1")


class Checker:
    def __init__(self, sorvel, work):
        self.sorvel, self.work, self.failures, self.checks = sorvel, work, [], 0

    def run(self, *args, code=None, stdout=None, stderr=None, label=None, **popen):
        popen.setdefault("timeout", 300)
        result = subprocess.run([self.sorvel] + list(args), capture_output=True, text=True,
                                cwd=self.work, **popen)
        label = label or " ".join(args)
        self.expect(code is None or result.returncode == code,
                    "%s: exit code %d, not %s; stderr: %s" % (label, result.returncode, code,
                                                             result.stderr.strip()))
        for wanted, got, name in ((stdout, result.stdout, "stdout"),
                                  (stderr, result.stderr, "stderr")):
            for text in ([wanted] if isinstance(wanted, str) else wanted or []):
                self.expect(text in got, "%s: %s lacks %r: %r" % (label, name, text, got[-600:]))
        return result

    def expect(self, condition, message):
        self.checks += 1
        if not condition:
            self.failures.append(message)

    def path(self, *parts):
        return os.path.join(self.work, *parts)

    def listing(self, folder):
        return sorted(os.listdir(self.path(folder))) if os.path.isdir(self.path(folder)) else []

    def finish(self):
        """Prints the count and each failure; answers the exit code."""
        print("%d checks, %d failed" % (self.checks, len(self.failures)))
        for failure in self.failures:
            print("FAILED: " + failure)
        return 1 if self.failures else 0


def usage_errors(c):
    score = "scores/Ties.musicxml"
    cases = [
        ((score, "-o", "x.musicxml"), "give the rows with --row"),
        ((score, "--row", "A>B", "--set", "Tuba", "-o", "x.musicxml"), "excludes"),
        ((score, "--row", "H>Bb", "-o", "x.musicxml"), FROM_MESSAGE),
        ((score, "--row", "A#>Bb#", "-o", "x.musicxml"), TO_MESSAGE),
        ((score, "--row", "C######>D", "-o", "x.musicxml"), FROM_MESSAGE),
        ((score, "--row", "A#Bb", "-o", "x.musicxml"), "a row is FROM>TO"),
        ((score, "--row", "A#>Bb:left", "-o", "x.musicxml"), "up, down or closest"),
        ((score, "--row", "A#>Bb"), "say where to write"),
        ((score, score, "--row", "A#>Bb", "-o", "x.musicxml"), "-o writes one file"),
        ((score, "--row", "A#>Bb", "--dry-run", "--report", "r.txt"), ".csv or .json"),
        ((score, "--row", "A#>Bb", "--dry-run", "--measures", "9-2"), "is not a measure"),
        ((score, "--row", "A#>Bb", "--dry-run", "--jobs", "0"), "--jobs"),
        ((score, "--set", "Nobody", "--sets", "vesksorvel.txt", "--dry-run"),
         'has no pitch set named "Nobody"'),
        ((score, "--set", "Tuba", "--sets", "missing.txt", "--dry-run"), "cannot open"),
        ((score, "copy/Ties.musicxml", "--row", "A#>Bb", "--out-dir", "out"),
         "would both be written to"),
        ((score, "--row", "A#>Bb", "-o", "x.musicxml", "--in-place"), "excludes"),
    ]
    for args, message in cases:
        c.run("respell", *args, code=2, stderr=message)
        # A refused command line writes no report either.
        if "--report" not in args:
            c.run("respell", *args, "--report", "refused.csv", code=2, stderr=message)
            c.expect(not os.path.exists(c.path("refused.csv")),
                     "%s: a refused command line wrote its report" % " ".join(args))
    c.expect(not os.path.exists(c.path("x.musicxml")) and not os.path.exists(c.path("out")),
             "a usage error wrote something")
    c.run(code=2, stderr="subcommand")
    c.run("--help", code=0, stdout=["respell", "sets", "Exit codes"])


def batch_with_failures(c):
    with open(c.path("bad", "Broken.musicxml"), "w") as f:
        f.write('<?xml version="1.0"?>\n<score-partwise>\n  <part>\n</score-partwise>\n')
    with open(c.path("bad", "Timewise.musicxml"), "w") as f:
        f.write('<?xml version="1.0"?>\n<score-timewise version="3.1"/>\n')
    with open(c.path("bad", "Empty.musicxml"), "w") as f:
        pass
    with open(c.path("bad", "NoStep.musicxml"), "w") as f:
        f.write('<score-partwise><part id="P1"><measure>\n<note><pitch><octave>4</octave></pitch>'
                '</note></measure></part></score-partwise>')
    os.makedirs(c.path("bad", "Folder.musicxml"), exist_ok=True)
    files = ["scores/Ties.musicxml", "bad/Broken.musicxml", "bad/Timewise.musicxml",
             "bad/Empty.musicxml", "bad/Folder.musicxml", "bad/NoStep.musicxml",
             "bad/Missing.musicxml", "scores/Keys.musicxml"]
    c.run("respell", *files, "--row", "F#>Gb", "--out-dir", "batch", "--jobs", "3", code=1,
          stdout=["Ties.musicxml: respelled", "Keys.musicxml: respelled"],
          stderr=["bad/Broken.musicxml: line 4, column 3: not well-formed XML",
                  "bad/Timewise.musicxml: a timewise MusicXML score",
                  "bad/Empty.musicxml: the file is empty",
                  "bad/Folder.musicxml: it is a directory",
                  "bad/NoStep.musicxml: line 2: a <pitch> without <step>",
                  "bad/Missing.musicxml: cannot open it"])
    c.expect(c.listing("batch") == ["Keys.musicxml", "Ties.musicxml"],
             "the batch wrote %s" % c.listing("batch"))


def dry_run_and_reports(c):
    rows = ["--row", "F#>Gb:closest", "--row", "Bb>A#:up", "--row", "C>D:down"]
    before = c.listing("scores")
    dry = c.run("respell", "scores/Transposing.musicxml", "scores/Ties.musicxml", *rows,
                "--dry-run", "--out-dir", "never", code=0,
                stdout=["would respell", "(sounding ", " by F#>Gb:closest"],
                stderr=["part P7 (Chromatic only)", "sounding spelling is unknown"])
    c.expect(not os.path.exists(c.path("never")), "a dry run made its output folder")
    c.expect(c.listing("scores") == before, "a dry run wrote next to the scores")
    changes = [line for line in dry.stdout.splitlines() if " -> " in line]

    for name in ("report.csv", "report.json"):
        c.run("respell", "scores/Transposing.musicxml", "scores/Ties.musicxml",
              "bad/Broken.musicxml", *rows, "--dry-run", "--report", name, code=1)
    with open(c.path("report.csv"), newline="") as f:
        table = list(csv.DictReader(f))
    kinds = [r["kind"] for r in table]
    c.expect(kinds.count("change") == len(changes),
             "the CSV lists %d changes, the dry run %d" % (kinds.count("change"), len(changes)))
    c.expect(kinds.count("error") == 1 and kinds.count("total") == 3, "CSV kinds: %s" % kinds)
    totals = {r["row"]: int(r["count"]) for r in table if r["kind"] == "total"}
    counted = {}
    for r in table:
        if r["kind"] == "change":
            counted[r["row"]] = counted.get(r["row"], 0) + 1
            c.expect(r["written_before"] and r["written_after"] and r["measure"] and r["beat"],
                     "an incomplete CSV change: %s" % r)
    c.expect(all(totals[k] == counted.get(k, 0) for k in totals), "CSV totals %s, changes %s"
             % (totals, counted))
    with open(c.path("report.json")) as f:
        report = json.load(f)
    c.expect([f["ok"] for f in report["files"]] == [True, True, False], "JSON ok flags")
    c.expect("not well-formed" in report["files"][2]["error"], "JSON error text")
    json_changes = [ch for f in report["files"] for ch in f["changes"]]
    c.expect(len(json_changes) == len(changes), "the JSON lists %d changes" % len(json_changes))
    c.expect({t["row"]: t["count"] for t in report["counts"]} == totals, "JSON totals")
    clarinet = [ch for ch in report["files"][0]["changes"] if ch["part"] == "P1"]
    c.expect(clarinet and all(ch["sounding"]["before"] != ch["written"]["before"] for ch in clarinet),
             "the clarinet's sounding and written pitches are reported alike")


def pitch_sets(c):
    with open(c.path("vesksorvel.txt"), "wb") as f:
        f.write(PITCH_LIST)
    c.run("sets", code=0, stdout=["vesksorvel.txt: 2 pitch sets", "Tuba (2 rows)",
                                  "  A#>Bb:closest", "  F#>Gb:up (not ticked)", "Cor \u00e9t\u00e9 (1 row)",
                                  "  C>B#:down"])
    c.run("sets", "--sets", "nowhere.txt", code=2, stderr="nowhere.txt: cannot open it")
    # The set and its ticked rows typed give the same file, as Change Checked applies the
    # ticked rows only (F#>Gb:up is stored unticked, and the score has F sharps).
    c.run("respell", "scores/Keys.musicxml", "--set", "tuba", "-o", "by-set.musicxml", code=0)
    c.run("respell", "scores/Keys.musicxml", "--row", "A#>Bb", "-o", "by-rows.musicxml", code=0)
    c.expect(filecmp.cmp(c.path("by-set.musicxml"), c.path("by-rows.musicxml"), shallow=False),
             "--set tuba and its ticked rows typed differ")
    c.run("respell", "scores/Keys.musicxml", "--row", "A#>Bb", "--row", "F#>Gb:up",
          "-o", "all-rows.musicxml", code=0)
    c.expect(not filecmp.cmp(c.path("by-set.musicxml"), c.path("all-rows.musicxml"),
                             shallow=False),
             "the unticked row F#>Gb:up changed nothing in the score: the test shows nothing")
    with open(c.path("unticked.txt"), "w") as f:
        f.write("VESKSORVEL_LIST_NAME_1=Off\nVESKSORVEL_LIST_FROM_1_1=A#\n"
                "VESKSORVEL_LIST_TO_1_1=Bb\nVESKSORVEL_LIST_UPDIRECTION_1_1=2\n"
                "VESKSORVEL_LIST_INUSE_1_1=0\n")
    c.run("respell", "scores/Keys.musicxml", "--set", "Off", "--sets", "unticked.txt",
          "--dry-run", code=0, stderr="has no ticked row")
    # Typed in UTF-8, matched to the file's 8-bit name; only A to Z ignore their case.
    c.run("respell", "scores/Keys.musicxml", "--set", "COR \u00e9T\u00e9", "--dry-run", code=0,
          stdout="by C>B#:down")
    c.run("respell", "scores/Keys.musicxml", "--set", "Cor \u00c9t\u00c9", "--dry-run", code=2)
    # A hand-edited set: rows whose texts are not spellings as the plug-in stores them are left
    # out, as the plug-in leaves them out of a run (read whole, Eb# would have put D#4 on Eb0).
    damaged = ("VESKSORVEL_LIST_NAME_1=Damaged\n"
               "VESKSORVEL_LIST_FROM_1_1=D#\nVESKSORVEL_LIST_TO_1_1=Eb#\n"
               "VESKSORVEL_LIST_UPDIRECTION_1_1=2\nVESKSORVEL_LIST_INUSE_1_1=1\n"
               "VESKSORVEL_LIST_FROM_1_2=F#\nVESKSORVEL_LIST_TO_1_2=Gbbbbbb\n"
               "VESKSORVEL_LIST_UPDIRECTION_1_2=2\nVESKSORVEL_LIST_INUSE_1_2=1\n"
               "VESKSORVEL_LIST_FROM_1_3=A#\nVESKSORVEL_LIST_TO_1_3=Bb\n"
               "VESKSORVEL_LIST_UPDIRECTION_1_3=2\nVESKSORVEL_LIST_INUSE_1_3=1\n")
    with open(c.path("damaged.txt"), "w") as f:
        f.write(damaged)
    c.run("respell", "scores/Keys.musicxml", "--set", "Damaged", "--sets", "damaged.txt", "-o",
          "by-damaged-set.musicxml", code=0,
          stderr=["row 1 of the set, D#>Eb#:closest, is not applied",
                  "row 2 of the set, F#>Gbbbbbb:closest, is not applied"])
    c.run("respell", "scores/Keys.musicxml", "--row", "A#>Bb", "-o", "by-good-row.musicxml",
          code=0)
    c.expect(filecmp.cmp(c.path("by-damaged-set.musicxml"), c.path("by-good-row.musicxml"),
                         shallow=False),
             "the damaged set does more than its one good row")


def in_place_and_jobs(c):
    shutil.copytree(c.path("scores"), c.path("inplace"))
    shutil.copytree(c.path("scores"), c.path("onejob"))
    rows = ["--row", "E>Fb:closest", "--row", "G#>Ab:closest", "--row", "D>C##:up"]
    names = sorted(os.listdir(c.path("scores")))
    c.run("respell", *["inplace/" + n for n in names], *rows, "--in-place", "--jobs", "4", code=0)
    c.run("respell", *["onejob/" + n for n in names], *rows, "--out-dir", "onejob-out",
          "--jobs", "1", code=0)
    c.expect(c.listing("inplace") == names, "in place left %s" % c.listing("inplace"))
    def content(path):
        # A container's entries (its replaced entry carries the time it was written).
        if path.endswith(".mxl"):
            with zipfile.ZipFile(path) as archive:
                return [(i.filename, archive.read(i)) for i in archive.infolist()]
        with open(path, "rb") as f:
            return f.read()

    for name in names:
        c.expect(content(c.path("inplace", name)) == content(c.path("onejob-out", name)),
                 "%s: four jobs in place and one job differ" % name)
        c.expect(content(c.path("inplace", name)) != content(c.path("scores", name)),
                 "%s: nothing was respelled in place" % name)


def main():
    sorvel, work = os.path.abspath(sys.argv[1]), sys.argv[2]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "bad"))
    subprocess.run([sys.executable, make_scores.__file__, os.path.join(work, "scores")],
                   check=True)
    os.makedirs(os.path.join(work, "copy"))
    shutil.copy(os.path.join(work, "scores", "Ties.musicxml"), os.path.join(work, "copy"))
    c = Checker(sorvel, work)
    with open(c.path("vesksorvel.txt"), "wb") as f:
        f.write(PITCH_LIST)
    for check in (usage_errors, batch_with_failures, dry_run_and_reports, pitch_sets,
                  in_place_and_jobs):
        check(c)
    return c.finish()


if __name__ == "__main__":
    sys.exit(main())
