#!/usr/bin/env python3
"""Writes the generated MusicXML scores sorvel's tests run on, into a folder.

Each score covers what copyists meet: every key signature, transposing parts (B flat, E flat,
F, octave, a change of instrument), ties across barlines, chords, grace notes, several voices
and staves, a key change in the middle of a measure, a key without a traditional signature,
and the file forms: .mxl, UTF-16 in both byte orders, CRLF line ends, comments, processing
instructions and single-quoted attributes. Accidentals are written as a copyist would: where
the key and the earlier notes of the measure do not already imply the alteration (the oracle's
rule), so that a respelled score can be checked for what it must show.

Usage: make_scores.py FOLDER [SEED]
"""

import io
import os
import random
import sys
import xml.etree.ElementTree as ET
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import musicxml_oracle as oracle  # noqa: E402

HEADER = ('<?xml version="1.0" encoding="{encoding}"?>\n'
          '<!DOCTYPE score-partwise PUBLIC "-//Recordare//DTD MusicXML 3.1 Partwise//EN" '
          '"http://www.musicxml.org/dtds/partwise.dtd">\n')
TYPES = {1: "eighth", 2: "quarter", 4: "half", 8: "whole"}  # in divisions of 2 per quarter


class Writer:
    """Builds one partwise score."""

    def __init__(self, seed):
        self.random = random.Random(seed)
        self.root = ET.Element("score-partwise", version="3.1")
        ET.SubElement(ET.SubElement(self.root, "work"), "work-title").text = "Generated"
        self.part_list = ET.SubElement(self.root, "part-list")

    def part(self, part_id, name):
        score_part = ET.SubElement(self.part_list, "score-part", id=part_id)
        ET.SubElement(score_part, "part-name").text = name
        return ET.SubElement(self.root, "part", id=part_id)

    @staticmethod
    def measure(part, number):
        return ET.SubElement(part, "measure", number=str(number))

    @staticmethod
    def attributes(measure, fifths=None, staves=None, transpose=None, key_number=None,
                   divisions=2, time=True, other_key=False):
        attributes = ET.SubElement(measure, "attributes")
        if divisions:
            ET.SubElement(attributes, "divisions").text = str(divisions)
        if other_key:
            key = ET.SubElement(attributes, "key")
            for step, alter in (("F", "1"), ("B", "-1")):
                ET.SubElement(key, "key-step").text = step
                ET.SubElement(key, "key-alter").text = alter
        if fifths is not None:
            key = ET.SubElement(attributes, "key")
            if key_number is not None:
                key.set("number", str(key_number))
            ET.SubElement(key, "fifths").text = str(fifths)
        if time:
            time_element = ET.SubElement(attributes, "time")
            ET.SubElement(time_element, "beats").text = "4"
            ET.SubElement(time_element, "beat-type").text = "4"
        if staves:
            ET.SubElement(attributes, "staves").text = str(staves)
        if transpose is not None:
            element = ET.SubElement(attributes, "transpose")
            diatonic, chromatic, octave = transpose
            if diatonic is not None:
                ET.SubElement(element, "diatonic").text = str(diatonic)
            ET.SubElement(element, "chromatic").text = str(chromatic)
            if octave:
                ET.SubElement(element, "octave-change").text = str(octave)
        return attributes

    @staticmethod
    def note(measure, pitch, duration=2, voice=1, staff=None, chord=False, grace=False,
             tie=None, stem=True):
        note = ET.SubElement(measure, "note")
        if grace:
            ET.SubElement(note, "grace", slash="yes")
        if chord:
            ET.SubElement(note, "chord")
        if pitch is None:
            ET.SubElement(note, "rest")
        else:
            pitch_element = ET.SubElement(note, "pitch")
            ET.SubElement(pitch_element, "step").text = pitch.letter
            if pitch.alter:
                ET.SubElement(pitch_element, "alter").text = str(pitch.alter)
            ET.SubElement(pitch_element, "octave").text = str(pitch.octave)
        if not grace:
            ET.SubElement(note, "duration").text = str(duration)
        for kind in {"start": ["start"], "stop": ["stop"], "both": ["stop", "start"]}.get(tie, []):
            ET.SubElement(note, "tie", type=kind)
        ET.SubElement(note, "voice").text = str(voice)
        ET.SubElement(note, "type").text = TYPES.get(duration, "eighth")
        if stem and pitch is not None:
            ET.SubElement(note, "stem").text = "up"
        if staff is not None:
            ET.SubElement(note, "staff").text = str(staff)
        if tie:
            notations = ET.SubElement(note, "notations")
            for kind in {"start": ["start"], "stop": ["stop"], "both": ["stop", "start"]}[tie]:
                ET.SubElement(notations, "tied", type=kind)
        return note

    @staticmethod
    def backup(measure, duration):
        ET.SubElement(ET.SubElement(measure, "backup"), "duration").text = str(duration)

    def pitch(self, low=3, high=5, alters=(-1, 0, 0, 0, 1)):
        return oracle.Pitch(self.random.choice("ABCDEFG"), self.random.choice(alters),
                            self.random.randint(low, high))

    def text(self, encoding="UTF-8"):
        add_accidentals(self.root)
        ET.indent(self.root, space="  ")
        return HEADER.format(encoding=encoding) + ET.tostring(self.root, encoding="unicode") + "\n"


def add_accidentals(root):
    """Gives every note the accidental the rule says it needs, in its place among the note's
    children (before <stem>, <staff>, <notations>)."""
    text = ET.tostring(root, encoding="unicode")
    notes, _ = oracle.read_score(text)
    elements = [n for n in root.iter("note")]
    for positions in oracle.lines_of(notes).values():
        line = [(notes[p], notes[p].pitch) for p in positions]
        for position, needed in zip(positions, oracle.needed_accidentals(line)):
            note = notes[position]
            if not needed or note.pitch is None or note.microtone:
                continue
            element = elements[position]
            accidental = ET.Element("accidental")
            accidental.text = oracle.VALUE_FOR[note.pitch.alter]
            children = list(element)
            names = [c.tag for c in children]
            place = len(children)
            for name in ("stem", "staff", "notations"):
                if name in names:
                    place = min(place, names.index(name))
            element.insert(place, accidental)


def score_keys(seed):
    """Every key from seven flats to seven sharps, one measure each, with double sharps and
    flats among the notes."""
    w = Writer(seed)
    part = w.part("P1", "Piano")
    for number, fifths in enumerate(range(-7, 8), start=1):
        measure = w.measure(part, number)
        w.attributes(measure, fifths=fifths, divisions=2 if number == 1 else None,
                     time=number == 1)
        for _ in range(8):
            w.note(measure, w.pitch(alters=(-2, -1, -1, 0, 0, 0, 1, 1, 2)), duration=1)
    return w.text()


TRANSPOSING = [
    ("P1", "Clarinet in Bb", (-1, -2, 0), -2),
    ("P2", "Alto Saxophone in Eb", (-5, -9, 0), -3),
    ("P3", "Horn in F", (-4, -7, 0), -1),
    ("P4", "Guitar", (0, 0, -1), 0),
    ("P5", "Piccolo", (0, 0, 1), 0),
    ("P6", "Bass Clarinet", (-1, -2, -1), -2),
    ("P7", "Chromatic only", (None, -2, 0), 0),
    ("P8", "Distorted interval", (1, 5, 0), 0),
]


def score_transposing(seed):
    """Transposing parts in a concert key of two flats; the clarinet becomes a clarinet in A
    from measure 3, and again in the middle of measure 5."""
    w = Writer(seed)
    concert = -2
    parts = [(w.part(pid, name), transpose, shift) for pid, name, transpose, shift in TRANSPOSING]
    for number in range(1, 7):
        for index, (part, transpose, shift) in enumerate(parts):
            measure = w.measure(part, number)
            if number == 1:
                w.attributes(measure, fifths=concert - shift, transpose=transpose)
            if index == 0 and number == 3:
                w.attributes(measure, fifths=concert + 3, transpose=(-2, -3, 0), divisions=None,
                             time=False)
            for beat in range(4):
                if index == 0 and number == 5 and beat == 2:
                    w.attributes(measure, fifths=concert + 2, transpose=(-1, -2, 0),
                                 divisions=None, time=False)
                w.note(measure, w.pitch(), duration=2)
    return w.text()


def score_ties(seed):
    """Ties across barlines (single notes and chords), ties inside a measure, and later notes
    of the same letter in the measure a tie goes into."""
    w = Writer(seed)
    part = w.part("P1", "Violin")
    fs, f, gb = oracle.Pitch("F", 1, 4), oracle.Pitch("F", 0, 4), oracle.Pitch("G", -1, 4)
    m1 = w.measure(part, 1)
    w.attributes(m1, fifths=0)
    w.note(m1, oracle.Pitch("A", 1, 4), duration=4)
    w.note(m1, fs, duration=4, tie="start")
    m2 = w.measure(part, 2)
    w.note(m2, fs, duration=2, tie="stop")
    w.note(m2, fs, duration=2)
    w.note(m2, f, duration=2)
    w.note(m2, gb, duration=2, tie="start")
    m3 = w.measure(part, 3)
    w.note(m3, gb, duration=4, tie="both")
    w.note(m3, oracle.Pitch("C", 1, 5), duration=4, tie="start")
    w.note(m3, oracle.Pitch("E", 1, 5), duration=4, chord=True, tie="start")
    m4 = w.measure(part, 4)
    w.note(m4, oracle.Pitch("C", 1, 5), duration=4, tie="stop")
    w.note(m4, oracle.Pitch("E", 1, 5), duration=4, chord=True, tie="stop")
    w.note(m4, oracle.Pitch("C", 1, 5), duration=2)
    w.note(m4, oracle.Pitch("A", 1, 4), duration=2)
    for number in range(5, 9):
        measure = w.measure(part, number)
        for beat in range(4):
            tie = "start" if beat == 3 else ("stop" if beat == 0 and number > 5 else None)
            pitch = w.pitch() if tie != "stop" else previous
            w.note(measure, pitch, duration=2, tie=tie)
            previous = pitch
    return w.text()


def score_chords_grace(seed):
    """Chords of two to four notes and grace notes before main notes."""
    w = Writer(seed)
    part = w.part("P1", "Harp")
    for number in range(1, 7):
        measure = w.measure(part, number)
        if number == 1:
            w.attributes(measure, fifths=3)
        for beat in range(4):
            if w.random.random() < 0.4:
                w.note(measure, w.pitch(), grace=True, stem=False)
            for k in range(w.random.randint(1, 4)):
                w.note(measure, w.pitch(), duration=2, chord=k > 0)
    return w.text()


def score_voices_staves(seed):
    """A piano part: two staves of two voices each, joined by <backup>."""
    w = Writer(seed)
    part = w.part("P1", "Piano")
    for number in range(1, 7):
        measure = w.measure(part, number)
        if number == 1:
            w.attributes(measure, fifths=-1, staves=2)
        plan = [(1, 1, 4, 5), (2, 1, 4, 5), (5, 2, 2, 3), (6, 2, 2, 3)]
        for index, (voice, staff, low, high) in enumerate(plan):
            if index > 0:
                w.backup(measure, 8)
            durations = w.random.choice([[2, 2, 2, 2], [4, 2, 1, 1], [1, 1, 2, 4], [8]])
            for duration in durations:
                w.note(measure, w.pitch(low, high), duration=duration, voice=voice, staff=staff)
    return w.text()


def score_key_change(seed):
    """A key change in the middle of a measure, with a second voice that starts before it
    (after a <backup>) and a key given for one staff only."""
    w = Writer(seed)
    part = w.part("P1", "Piano")
    for number in range(1, 5):
        measure = w.measure(part, number)
        if number == 1:
            w.attributes(measure, fifths=2, staves=2)
        for beat in range(4):
            if beat == 2 and number in (2, 3):
                w.attributes(measure, fifths=-3 if number == 2 else 4, divisions=None,
                             time=False, key_number=None if number == 2 else 1)
            w.note(measure, w.pitch(4, 5), duration=2, voice=1, staff=1)
        w.backup(measure, 8)
        for beat in range(4):
            w.note(measure, w.pitch(4, 5), duration=2, voice=2, staff=1)
        w.backup(measure, 8)
        for beat in range(4):
            w.note(measure, w.pitch(2, 3), duration=2, voice=5, staff=2)
    return w.text()


def score_other_key(seed):
    """A measure in a key without a traditional signature, between traditional ones."""
    w = Writer(seed)
    part = w.part("P1", "Oboe")
    for number in range(1, 5):
        measure = w.measure(part, number)
        if number == 1:
            w.attributes(measure, fifths=0)
        if number == 2:
            w.attributes(measure, divisions=None, time=False, other_key=True)
        if number == 3:
            w.attributes(measure, fifths=1, divisions=None, time=False)
        for beat in range(4):
            w.note(measure, w.pitch(), duration=2)
    return w.text()


def oddly_formatted(text):
    """The same score with CRLF line ends, comments and a processing instruction in the middle
    of measures, single-quoted attributes and a compact <pitch> on one line."""
    text = text.replace('<measure number="2">',
                        "<measure number='2'><!-- a comment, with <angle> & amp -->\n"
                        "<?editor cursor='here'?>")
    text = text.replace("<pitch>\n          <step>", "<pitch><step>", 3)
    text = text.replace("</step>\n          <octave>", "</step><octave>", 3)
    return text.replace("\n", "\r\n")


def write_mxl(path, text):
    with zipfile.ZipFile(path, "w") as archive:
        archive.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.recordare.musicxml",
                         compress_type=zipfile.ZIP_STORED)
        archive.writestr("META-INF/container.xml",
                         '<?xml version="1.0" encoding="UTF-8"?>\n<container><rootfiles>'
                         '<rootfile full-path="score/Voices.xml" media-type="application/'
                         'vnd.recordare.musicxml+xml"/></rootfiles></container>\n',
                         compress_type=zipfile.ZIP_DEFLATED)
        archive.writestr("score/Voices.xml", text.encode("utf-8"),
                         compress_type=zipfile.ZIP_DEFLATED)
        archive.writestr("images/cover.png", bytes(range(256)) * 4,
                         compress_type=zipfile.ZIP_STORED)


def main():
    folder = sys.argv[1]
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    os.makedirs(folder, exist_ok=True)
    plain = {
        "Keys.musicxml": score_keys(seed),
        "Transposing.musicxml": score_transposing(seed + 1),
        "Ties.musicxml": score_ties(seed + 2),
        "ChordsGrace.musicxml": score_chords_grace(seed + 3),
        "VoicesStaves.musicxml": score_voices_staves(seed + 4),
        "KeyChange.musicxml": score_key_change(seed + 5),
        "OtherKey.musicxml": score_other_key(seed + 6),
    }
    for name, text in plain.items():
        with open(os.path.join(folder, name), "w", encoding="utf-8", newline="") as f:
            f.write(text)
    with open(os.path.join(folder, "OddlyFormatted.xml"), "w", encoding="utf-8",
              newline="") as f:
        f.write(oddly_formatted(plain["Ties.musicxml"]))
    with open(os.path.join(folder, "Utf16Little.musicxml"), "wb") as f:
        f.write(b"\xff\xfe" + score_keys(seed + 7).replace(
            'encoding="UTF-8"', 'encoding="UTF-16"').encode("utf-16-le"))
    with open(os.path.join(folder, "Utf16Big.musicxml"), "wb") as f:
        f.write(score_transposing(seed + 8).replace(
            'encoding="UTF-8"', 'encoding="UTF-16"').encode("utf-16-be"))
    write_mxl(os.path.join(folder, "Voices.mxl"), score_voices_staves(seed + 9))


if __name__ == "__main__":
    main()
