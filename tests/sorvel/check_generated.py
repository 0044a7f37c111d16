#!/usr/bin/env python3
"""Runs sorvel on the generated scores with several lists of rows, in sounding and in written
pitch, and checks every output against the oracle:

- every note has the pitch the oracle says (respelled or not);
- every note that needs an accidental shows the right one, no respelled note shows one it
  does not need, and an unchanged note keeps its accidental as it was;
- apart from <pitch> and <accidental> elements the file is byte for byte the input, and the
  <pitch> of every unchanged note is too; in .mxl files every other entry is unchanged;
- the summary line counts the respelled notes.

Usage: check_generated.py SORVEL WORKFOLDER
"""

import os
import re
import shutil
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_scores  # noqa: E402
import musicxml_oracle as oracle  # noqa: E402

ROW_LISTS = {
    "enharmonic": ["A#>Bb:closest", "D#>Eb:closest", "G#>Ab:closest", "C#>Db:closest",
                   "F#>Gb:closest", "E#>F:up", "B#>C:closest", "Cb>B:closest", "Fb>E:closest",
                   "Gb>F#:closest"],
    "moving": ["C>D:up", "D>C:down", "E>F#:closest", "F#>C:closest", "A>B:closest",
               "B>A:closest", "Bb>A#:down", "Eb>D#:up", "Db>G:closest"],
    "double": ["C##>D:closest", "Dbb>C:closest", "G>G##:down", "Bbb>A:up", "Ab>G#:closest",
               "F>E#:up"],
}

STRIP = re.compile(r"[ \t\r\n]*<(pitch|accidental)\b[^>]*>.*?</\1>", re.S)
PITCH = re.compile(r"<pitch\b.*?</pitch>", re.S)


def read_text(path):
    """The score's text, and the other entries of a container (name to bytes)."""
    data = open(path, "rb").read()
    others = {}
    if data[:4] == b"PK\x03\x04":
        with zipfile.ZipFile(path) as archive:
            container = archive.read("META-INF/container.xml").decode()
            rootfile = re.search(r'full-path="([^"]+)"', container).group(1)
            data = archive.read(rootfile)
            others = {i.filename: (archive.read(i.filename), i.compress_type)
                      for i in archive.infolist() if i.filename != rootfile}
            others["(order)"] = [i.filename for i in archive.infolist()]
    if data[:2] == b"\xff\xfe":
        return data[2:].decode("utf-16-le"), others
    if data[:2] == b"\x00<":
        return data.decode("utf-16-be"), others
    return data.decode("utf-8"), others


def xml_for_reader(text):
    # ElementTree refuses a declaration of UTF-16 on a str: the declaration plays no part here.
    return re.sub(r"^<\?xml[^>]*\?>", "", text.lstrip("\ufeff"))


def check(sorvel, source, work, list_name, written, failures):
    rows = ROW_LISTS[list_name]
    label = "%s, %s rows, %s pitch" % (os.path.basename(source), list_name,
                                       "written" if written else "sounding")
    output = os.path.join(work, "out-" + os.path.basename(source))
    if os.path.exists(output):
        os.remove(output)
    command = [sorvel, "respell", source, "-o", output] + \
        [a for r in rows for a in ("--row", r)] + (["--written"] if written else [])
    run = subprocess.run(command, capture_output=True, text=True, timeout=300)
    if run.returncode != 0:
        failures.append("%s: exit code %d: %s" % (label, run.returncode, run.stderr.strip()))
        return 0
    before_text, before_others = read_text(source)
    after_text, after_others = read_text(output)
    notes_before, _ = oracle.read_score(xml_for_reader(before_text))
    notes_after, _ = oracle.read_score(xml_for_reader(after_text))
    parsed_rows = [oracle.parse_row(r) for r in rows]
    expected = oracle.expected_pitches(notes_before, parsed_rows, written=written)
    problems = []
    if len(notes_after) != len(notes_before):
        problems.append("the number of notes changed")
    changed = 0
    for index, (note, after, (row, pitch)) in enumerate(zip(notes_before, notes_after, expected)):
        where = "part %s measure %s note %d" % (note.part, note.measure, index)
        if row is not None:
            changed += 1
        if (after.pitch is None) != (pitch is None) or (pitch is not None and not after.pitch == pitch):
            problems.append("%s: %s became %s, the rules say %s" % (where, note.pitch, after.pitch, pitch))
    # Accidentals, staff by staff and measure by measure, judged on the output's pitches.
    for positions in oracle.lines_of(notes_after).values():
        line = [(notes_after[p], notes_after[p].pitch) for p in positions]
        for p, needed in zip(positions, oracle.needed_accidentals(line)):
            before, after = notes_before[p], notes_after[p]
            respelled = expected[p][0] is not None
            where = "part %s measure %s %s" % (after.part, after.measure, after.pitch)
            if needed and not after.microtone:
                want = oracle.VALUE_FOR.get(after.pitch.alter)
                if after.accidental != want:
                    problems.append("%s needs %s, shows %s" % (where, want, after.accidental))
            elif respelled and after.accidental is not None:
                problems.append("%s shows %s, which it does not need" % (where, after.accidental))
            if not respelled and before.accidental is not None and after.accidental != before.accidental:
                problems.append("%s: its accidental %s became %s" % (where, before.accidental,
                                                                     after.accidental))
    if STRIP.sub("", before_text) != STRIP.sub("", after_text):
        problems.append("bytes outside <pitch> and <accidental> changed")
    pitches_before, pitches_after = PITCH.findall(before_text), PITCH.findall(after_text)
    unchanged = [n for n, (row, _) in enumerate(e for e, nb in zip(expected, notes_before)
                                                if nb.pitch is not None) if row is None]
    for n in unchanged:
        if pitches_before[n] != pitches_after[n]:
            problems.append("the <pitch> of unchanged note %d was rewritten" % n)
            break
    if before_others != after_others:
        problems.append("other entries of the container changed")
    if ("respelled %d note" % changed) not in run.stdout and not (changed == 0 and "nothing" in run.stdout):
        problems.append("summary does not count %d notes: %s" % (changed, run.stdout.strip()))
    for problem in problems[:8]:
        failures.append("%s: %s" % (label, problem))
    if len(problems) > 8:
        failures.append("%s: ... and %d more" % (label, len(problems) - 8))
    return changed


def main():
    sorvel, work = sys.argv[1], sys.argv[2]
    shutil.rmtree(work, ignore_errors=True)
    scores = os.path.join(work, "scores")
    subprocess.run([sys.executable, make_scores.__file__, scores], check=True)
    failures = []
    total = 0
    runs = 0
    for name in sorted(os.listdir(scores)):
        for list_name in ROW_LISTS:
            for written in (False, True):
                total += check(sorvel, os.path.join(scores, name), work, list_name, written,
                               failures)
                runs += 1
    print("%d runs, %d notes respelled, %d problems" % (runs, total, len(failures)))
    for failure in failures:
        print("FAILED: " + failure)
    if total < 500:
        print("FAILED: too few notes were respelled for the check to mean much")
        return 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
