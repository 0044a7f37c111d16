#!/usr/bin/env python3
"""Tests of scripts/compare-sessions.py without Wine: what its normalisation of the trace keeps
and hides, what it counts as a difference, how it reads a session's folder and makes its settings
folder, and that its session list still plays every script the tests have."""
import contextlib
import importlib.machinery
import io
import os
import shutil
import stat
import sys
import tempfile
import types
import unittest

# The script is loaded from the source tree, which must not gain a __pycache__ folder.
sys.dont_write_bytecode = True
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# A module of its own (not runpy's dictionary): the tests replace some of its functions.
compare = types.ModuleType("compare_sessions")
compare.__file__ = os.path.join(SOURCE, "scripts", "compare-sessions.py")
importlib.machinery.SourceFileLoader("compare_sessions", compare.__file__).exec_module(compare)

V = "0x12050000"


class Normalisation(unittest.TestCase):
    # (what is shown, the trace, what it must read after normalisation)
    CASES = [
        ("a dialog handle is numbered, the same handle the same number",
         f"call FX_SetDlgItemVal(0x10078, 114, 1, 1, {V}) -> 1\n"
         f"call FX_EnableDlgItem(0x10078, 107, 0, {V}) -> 1",
         f"call FX_SetDlgItemVal(@1, 114, 1, 1, {V}) -> 1\n"
         f"call FX_EnableDlgItem(@1, 107, 0, {V}) -> 1"),
        ("a frame the host answers keeps its number where the plug-in passes it back",
         f"call FX_LoadTGF(0, 1, 2, 0, 0, {V}) -> 0x4A0010\ncall FX_SaveTGF(0x4A0010, {V}) -> 1",
         f"call FX_LoadTGF(0, 1, 2, 0, 0, {V}) -> @1\ncall FX_SaveTGF(@1, {V}) -> 1"),
        ("the plug-in's buffers are all one, null stays null",
         f"call FX_NextEData(0x534F5343, 0x21E200, null, 0xCAE0D0, {V}) -> 1",
         f"call FX_NextEData(0x534F5343, @memory, null, @memory, {V}) -> 1"),
        ("a version alone in its call stays",
         f"call FX_GetCurrentWindow({V}) -> 0x20020",
         f"call FX_GetCurrentWindow({V}) -> @1"),
        ("texts stay as they are, hex digits and escaped quotes in them too",
         f'call FX_SetDlgString_UTF16(0x10078, 118, "0x10078 \\" 0xCAE0D0", {V}) -> 1',
         f'call FX_SetDlgString_UTF16(@1, 118, "0x10078 \\" 0xCAE0D0", {V}) -> 1'),
        ("lines that are no call stay as they are",
         "plug-in interface version 0x0F000000\nbeep 0x30",
         "plug-in interface version 0x0F000000\nbeep 0x30"),
    ]

    def test_cases(self):
        for what, trace, wanted in self.CASES:
            with self.subTest(what):
                self.assertEqual(compare.numbered_addresses(trace.encode()).decode(), wanted)


def side(transcript, files=None, codes=(0,)):
    return list(codes), transcript.encode(), files or {}


class Differences(unittest.TestCase):
    BASE = (f"call FX_GetCurrentWindow({V}) -> 0x10020\n"
            f"call FX_LoadTGF(0, 1, 1, 0, 0, {V}) -> 0x4A0010\n"
            f"call FX_LoadEData(0x534F5343, 0x21E200, 0xCAE0D0, 0x21E210, {V}) -> 1\n"
            f"call FX_SaveTGF(0x4A0010, {V}) -> 1\n")

    def test_other_handles_and_buffers_are_the_same_session(self):
        moved = (self.BASE.replace("0x10020", "0x30044").replace("0x4A0010", "0x5B0020")
                 .replace("0x21E2", "0x33F0").replace("0xCAE0D0", "0x1234560"))
        self.assertEqual(compare.differences(side(self.BASE), side(moved)), [])

    def test_what_a_session_does_differently(self):
        cases = [
            ("a frame passed back that is not the one loaded",
             side(self.BASE.replace("SaveTGF(0x4A0010", "SaveTGF(0x10020")),
             "transcript line 4"),
            ("a record of another tag", side(self.BASE.replace("0x534F5343", "0x534F4D53")),
             "transcript line 3"),
            ("another version",
             side(self.BASE.replace(f"0, {V}) -> 0x4A", "0, 0x12000000) -> 0x4A")),
             "transcript line 2"),
            ("another exit code", side(self.BASE, codes=(1,)), "exit codes old [0] new [1]"),
            ("a file changed", side(self.BASE, {"settings/a.txt": b"X=1\nY=3\n"}),
             "settings/a.txt line 2"),
            ("a file only one side wrote", side(self.BASE, {"settings/a.txt": b"X=1\nY=2\n",
                                                            "out-1.json": b"{}"}),
             "out-1.json only new"),
        ]
        old = side(self.BASE, {"settings/a.txt": b"X=1\nY=2\n"})
        for what, new, wanted in cases:
            with self.subTest(what):
                found = compare.differences(old, new)
                self.assertTrue(any(f.startswith(wanted) for f in found), found)

    def test_first_difference_names_a_shorter_side(self):
        self.assertEqual(compare.first_difference(b"a\nb\nc", b"a\nb"),
                         "the new one ends at line 2")


class PlayedAgain(unittest.TestCase):
    """A session that differs is played once more; only a second difference counts."""

    def outcome(self, plays, session_name="Change"):
        session = next(s for s in compare.SESSIONS if s.name == session_name)
        pairs = iter(plays)
        played = []

        def pair(*_):
            played.append(1)
            found = next(pairs)
            return {"old": side("a"), "new": side("a")}, found

        real, compare.played_pair = compare.played_pair, pair
        printed = io.StringIO()
        try:
            with contextlib.redirect_stdout(printed):
                same = compare.compare_session(session, {"old": SOURCE, "new": SOURCE}, "", "")
        finally:
            compare.played_pair = real
        return same, len(played), printed.getvalue()

    def test_cases(self):
        # (what, what each play finds, the answer, plays, what the line starts with)
        cases = [
            ("the same at once", [[]], True, 1, "same     Change"),
            ("a first difference not seen again", [["transcript line 9"], []], True, 2,
             "same     Change"),
            ("the same difference twice", [["out-1.json line 3"], ["out-1.json line 3"]], False, 2,
             "DIFFERS  Change: out-1.json line 3"),
        ]
        for what, plays, wanted, count, line in cases:
            with self.subTest(what):
                same, played, printed = self.outcome(plays)
                self.assertEqual((same, played), (wanted, count))
                self.assertTrue(printed.startswith(line), printed)
        self.assertIn("the first play differed (transcript line 9)", self.outcome(cases[1][1])[2])


class Folders(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.work)

    def test_files_of_reads_links_as_links_and_skips_the_inputs(self):
        run = os.path.join(self.work, "run")
        for folder in ("in", "settings/real", "empty"):
            os.makedirs(os.path.join(run, folder))
        for name, text in (("in/Score.json", b"{}"), ("settings/real/p.txt", b"K=1\n")):
            with open(os.path.join(run, name), "wb") as f:
                f.write(text)
        os.symlink("real/p.txt", os.path.join(run, "settings", "p.txt"))
        self.assertEqual(compare.files_of(run), {
            "settings/": b"folder", "settings/real/": b"folder", "empty/": b"folder",
            "settings/real/p.txt": b"K=1\n", "settings/p.txt": b"link to real/p.txt"})

    def test_settings_made_as_the_tests_make_them(self):
        trees = {"old": SOURCE, "new": SOURCE}
        run = os.path.join(self.work, "run")
        links = next(s for s in compare.SESSIONS if s.name == "Links")
        self.assertEqual(compare.settle_settings(links, trees, run),
                         ["--settings", os.path.join(run, "settings")])
        settings = os.path.join(run, "settings")
        self.assertEqual(os.readlink(os.path.join(settings, "veskpluginprefs.txt")),
                         "real/veskpluginprefs.txt")
        elsewhere = os.path.join(run, "elsewhere", "vesksorvel.txt")
        self.assertEqual(os.readlink(os.path.join(settings, "vesksorvel.txt")), elsewhere)
        with open(elsewhere, "rb") as f, open(
                os.path.join(SOURCE, "tests/ui/data/stored/vesksorvel.txt"), "rb") as seed:
            self.assertEqual(f.read(), seed.read())

        shutil.rmtree(run)
        read_only = next(s for s in compare.SESSIONS if s.name == "ReadOnlyFiles")
        compare.settle_settings(read_only, trees, run)
        for name in read_only.read_only:
            self.assertEqual(stat.S_IMODE(os.stat(os.path.join(settings, name)).st_mode), 0o444)

        shutil.rmtree(run)
        folder = next(s for s in compare.SESSIONS if s.name == "fault-sets-folder")
        compare.settle_settings(folder, trees, run)
        self.assertTrue(os.path.isdir(os.path.join(settings, "vesksorvel.txt")))

        shutil.rmtree(run)
        nothing = next(s for s in compare.SESSIONS if s.name == "NoFolder")
        self.assertEqual(compare.settle_settings(nothing, trees, run), ["--no-settings-folder"])
        self.assertFalse(os.path.exists(run))


class SessionList(unittest.TestCase):
    # Scripts that only older revisions have (the native dialog test took their cases over).
    OLDER = {"tests/ui/scripts/AddRows.script", "tests/ui/scripts/UpdateDuplicates.script",
             "tests/ui/data/duplicates"}

    def test_every_input_is_here_or_of_an_older_revision(self):
        for session in compare.SESSIONS:
            for path in session.inputs():
                with self.subTest(session=session.name, path=path):
                    self.assertTrue(os.path.exists(os.path.join(SOURCE, path)) or
                                    path in self.OLDER)

    def test_every_script_of_the_tests_is_played(self):
        self.assertEqual(compare.unplayed({"old": SOURCE, "new": SOURCE}), [])

    def test_names_are_unique(self):
        names = [session.name for session in compare.SESSIONS]
        self.assertEqual(len(names), len(set(names)))


if __name__ == "__main__":
    sys.exit(unittest.main())
