"""An independent reading of MusicXML scores and of what a list of rows does to them.

This is the tests' oracle for sorvel: it shares no code with the program (Python's own XML
reader, its own music arithmetic) and states the rules the way a musician would:

- a note's spelling (letter and signs, no octave) is compared with each row's from-spelling,
  exactly; the first row that matches applies, once;
- Up gives the lowest pitch spelled like the row's to-spelling that lies at or above the note
  (by staff step, then by alteration); Down the highest at or below;
- Closest gives the pitch so spelled that is nearest in semitones; when two are equally near
  (an exact tritone away on both sides) it is the one whose octave number differs from the
  note's;
- in sounding mode the comparison is made on the sounding pitch (written pitch moved by the
  part's transposition) and the result is written back in written terms; in written mode on
  the written pitch, and parts whose transposition is no key transposition are left alone;
- notes under a key signature without fifths (key-step/key-alter) are left alone, and so are
  notes with a fret (tablature).
"""

import xml.etree.ElementTree as ET
from fractions import Fraction

LETTERS = "CDEFGAB"  # in staff order from C
NATURAL = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}
SHARP_ORDER = "FCGDAEB"
FLAT_ORDER = "BEADGCF"
ACCIDENTAL_VALUES = {
    "triple-flat": -3, "flat-flat": -2, "double-flat": -2, "flat": -1, "natural-flat": -1,
    "natural": 0, "sharp": 1, "natural-sharp": 1, "double-sharp": 2, "sharp-sharp": 2,
    "triple-sharp": 3,
}
VALUE_FOR = {-3: "triple-flat", -2: "flat-flat", -1: "flat", 0: "natural", 1: "sharp",
             2: "double-sharp", 3: "triple-sharp"}


class Pitch:
    """A spelled pitch: letter, alteration (semitones) and octave number."""

    def __init__(self, letter, alter, octave):
        self.letter, self.alter, self.octave = letter, alter, octave

    def step(self):
        return self.octave * 7 + LETTERS.index(self.letter)

    def key(self):
        return 12 * (self.octave + 1) + NATURAL[self.letter] + self.alter

    def spelling(self):
        return self.letter + ("#" * self.alter if self.alter > 0 else "b" * -self.alter)

    def moved(self, steps, semitones):
        index = self.step() + steps
        letter, octave = LETTERS[index % 7], index // 7
        natural = 12 * (octave + 1) + NATURAL[letter]
        return Pitch(letter, self.key() + semitones - natural, octave)

    def __eq__(self, other):
        return (self.letter, self.alter, self.octave) == (other.letter, other.alter, other.octave)

    def __repr__(self):
        return "%s%d" % (self.spelling(), self.octave)


def parse_spelling(text):
    """A canonical spelling ("A#", "Bbb") as (letter, alteration), or None."""
    if not text or text[0] not in LETTERS:
        return None
    signs = text[1:]
    if signs and not (set(signs) == {"#"} or set(signs) == {"b"}):
        return None
    return text[0], signs.count("#") - signs.count("b")


def parse_row(text):
    """A row as the command line takes it: FROM>TO[:direction]."""
    from_text, rest = text.split(">")
    to_text, _, direction = rest.partition(":")
    return from_text, to_text, (direction or "closest").lower()


def apply_rows(rows, pitch):
    """What the rows make of a pitch: (row index, new pitch), or None when no row matches."""
    for index, (from_text, to_text, direction) in enumerate(rows):
        if parse_spelling(from_text) != (pitch.letter, pitch.alter):
            continue
        letter, alter = parse_spelling(to_text)
        candidates = [Pitch(letter, alter, octave) for octave in range(pitch.octave - 3,
                                                                        pitch.octave + 4)]
        if direction == "up":
            above = [c for c in candidates if (c.step(), c.alter) >= (pitch.step(), pitch.alter)]
            return index, min(above, key=lambda c: (c.step(), c.alter))
        if direction == "down":
            below = [c for c in candidates if (c.step(), c.alter) <= (pitch.step(), pitch.alter)]
            return index, max(below, key=lambda c: (c.step(), c.alter))
        nearest = min(abs(c.key() - pitch.key()) for c in candidates)
        best = [c for c in candidates if abs(c.key() - pitch.key()) == nearest]
        if len(best) > 1:
            best = [c for c in best if c.octave != pitch.octave]
        return index, best[0]
    return None


def key_alteration(fifths, letter):
    """What a key of fifths sharps (flats when negative) gives a letter."""
    order = SHARP_ORDER if fifths > 0 else FLAT_ORDER
    count = sum(1 for k in range(abs(fifths)) if order[k % 7] == letter)
    return count if fifths > 0 else -count


def text_of(element, name, default=None):
    child = element.find(name)
    if child is None or child.text is None:
        return default
    return child.text.strip()


class Note:
    """One <note> of a score, with where and when it sounds and what governs it."""

    def __init__(self, element, part, measure, index, ordinal):
        self.element, self.part, self.measure, self.index = element, part, measure, index
        self.ordinal = ordinal  # the measure's place in its part
        self.staff = int(text_of(element, "staff", "1"))
        self.voice = text_of(element, "voice", "1")
        self.chord = element.find("chord") is not None
        self.grace = element.find("grace") is not None
        pitch = element.find("pitch")
        self.pitch = None
        self.microtone = False
        if pitch is not None:
            alter = Fraction(text_of(pitch, "alter", "0"))
            self.microtone = alter.denominator != 1
            self.pitch = Pitch(text_of(pitch, "step"), int(alter), int(text_of(pitch, "octave")))
        ties = [t.get("type") for t in element.findall("tie")]
        ties += [t.get("type") for n in element.findall("notations") for t in n.findall("tied")]
        self.tie_start, self.tie_stop = "start" in ties, "stop" in ties
        self.fretted = any(t.find("fret") is not None for n in element.findall("notations")
                           for t in n.findall("technical"))
        accidental = element.find("accidental")
        self.accidental = None if accidental is None else (accidental.text or "").strip()
        self.start = Fraction(0)
        self.key = (True, 0)  # (traditional, fifths)
        self.key_epoch = 0
        self.transpose = None  # None, or (known, steps, semitones)


class Transpose:
    def __init__(self, element):
        diatonic = text_of(element, "diatonic")
        chromatic = Fraction(text_of(element, "chromatic", "0"))
        octaves = int(text_of(element, "octave-change", "0"))
        self.known = diatonic is not None and chromatic.denominator == 1
        self.steps = int(diatonic or 0) + 7 * octaves
        self.semitones = int(chromatic) + 12 * octaves

    def fifths(self):
        """How far the interval moves a key along the circle of fifths."""
        octaves = self.steps // 7
        simple = self.steps - 7 * octaves
        alteration = self.semitones - 12 * octaves - [0, 2, 4, 5, 7, 9, 11][simple]
        return [0, 2, 4, -1, 1, 3, 5][simple] + 7 * alteration


def read_score(text):
    """The notes of a partwise score, part by part, measure by measure, with their times,
    keys and transpositions. Returns (notes, part names)."""
    root = ET.fromstring(text)
    names = {p.get("id"): (text_of(p, "part-name", "") or "")
             for p in root.iter("score-part")}
    concert = root.find("defaults/concert-score") is not None
    notes = []
    for part in root.findall("part"):
        part_id = part.get("id")
        divisions = Fraction(1)
        keys, transposes = {0: (True, 0)}, {0: None}
        for ordinal, measure in enumerate(part.findall("measure")):
            time = last_start = Fraction(0)
            events = []  # (time, order, staff, kind, value)
            measure_notes = []
            for order, child in enumerate(measure):
                if child.tag == "note":
                    note = Note(child, part_id, measure.get("number"), order, ordinal)
                    duration = Fraction(text_of(child, "duration", "0")) / divisions
                    if note.chord:
                        note.start = last_start
                    else:
                        note.start = last_start = time
                        if not note.grace:
                            time += duration
                    measure_notes.append(note)
                elif child.tag == "backup":
                    time -= Fraction(text_of(child, "duration")) / divisions
                elif child.tag == "forward":
                    time += Fraction(text_of(child, "duration")) / divisions
                elif child.tag == "attributes":
                    if child.find("divisions") is not None:
                        divisions = Fraction(text_of(child, "divisions"))
                    for key in child.findall("key"):
                        staff = int(key.get("number", "0"))
                        fifths = text_of(key, "fifths")
                        value = (True, int(fifths)) if fifths is not None else (False, 0)
                        events.append((time, order, staff, "key", value))
                    for transpose in child.findall("transpose"):
                        staff = int(transpose.get("number", "0"))
                        events.append((time, order, staff, "transpose", Transpose(transpose)))
            for note in measure_notes:
                for kind, carried in (("key", keys), ("transpose", transposes)):
                    value = carried.get(note.staff, carried[0])
                    applying = [e for e in events if e[3] == kind and e[2] in (0, note.staff)
                                and (e[0], e[1]) < (note.start, note.index)]
                    if applying:
                        last = max(applying, key=lambda e: (e[0], e[1]))
                        value = last[4]
                        if kind == "key":
                            note.key_epoch = events.index(last) + 1
                    if kind == "key":
                        note.key = value
                    else:
                        note.transpose = None if concert else value
            # A staff that meets a key without fifths anywhere in the measure is left alone.
            for note in measure_notes:
                note.other_key_in_measure = any(
                    e[3] == "key" and not e[4][0] and e[2] in (0, note.staff) for e in events) \
                    or any(not n.key[0] for n in measure_notes if n.staff == note.staff)
            for event in sorted(events, key=lambda e: (e[0], e[1])):
                carried = keys if event[3] == "key" else transposes
                if event[2] == 0:
                    carried.clear()
                carried[event[2]] = event[4]
            notes.extend(measure_notes)
    return notes, names


def expected_pitches(notes, rows, written=False, parts=None, measures=None, names=None):
    """The written pitch each note should have after the rows: a list parallel to notes, with
    (row index or None, pitch or None)."""
    results = []
    for note in notes:
        outcome = (None, note.pitch)
        if note.pitch is not None and not note.microtone and \
                (parts is None or note.part in parts or (names or {}).get(note.part) in parts) and \
                (measures is None or measures(note.measure)):
            t = note.transpose
            usable = t is None or t.known if not written else t is None or (t.known and abs(t.fifths()) <= 7)
            if usable and not note.other_key_in_measure and not note.fretted:
                steps, semitones = (t.steps, t.semitones) if (t is not None and not written) else (0, 0)
                compared = note.pitch.moved(steps, semitones)
                match = apply_rows(rows, compared)
                if match is not None:
                    new = match[1].moved(-steps, -semitones)
                    if 0 <= new.octave <= 9 and abs(new.alter) <= 3 and not new == note.pitch:
                        outcome = (match[0], new)
        results.append(outcome)
    return results


def needed_accidentals(line):
    """For the notes of one staff in one measure, in sounding order, as (note, pitch) pairs:
    whether each needs its accidental shown."""
    needed, state, epoch = [], {}, None
    for note, pitch in line:
        if note.key_epoch != epoch:
            epoch, state = note.key_epoch, {}
        place = (pitch.letter, pitch.octave)
        # A note that continues a tie is never signed, and the next fresh note of its line is
        # judged without it.
        if note.tie_stop:
            needed.append(False)
            continue
        value = None if note.microtone else pitch.alter
        expected = state.get(place, key_alteration(note.key[1], pitch.letter))
        needed.append(value is None or value != expected)
        state[place] = value
    return needed


def lines_of(notes):
    """The notes grouped by part, measure and staff, each group in sounding order."""
    groups = {}
    for position, note in enumerate(notes):
        if note.pitch is not None:
            groups.setdefault((note.part, note.ordinal, note.staff), []).append(position)
    for key, positions in groups.items():
        positions.sort(key=lambda p: (notes[p].start, notes[p].index))
    return groups
