#!/usr/bin/env python3
"""Shows two versions of a MusicXML score side by side, measure by measure: each note's
written pitch, with the accidental the file shows in brackets ([#], [b], [n], [x]).

Usage: sorvel-before-after.py BEFORE AFTER
"""

import sys
import xml.etree.ElementTree as ET

SIGNS = {"sharp": "#", "flat": "b", "natural": "n", "double-sharp": "x", "flat-flat": "bb"}


def measures(path):
    root = ET.parse(path).getroot()
    names = {p.get("id"): p.findtext("part-name", "") for p in root.iter("score-part")}
    for part in root.findall("part"):
        for measure in part.findall("measure"):
            notes = []
            for note in measure.findall("note"):
                pitch = note.find("pitch")
                if pitch is None:
                    notes.append("rest")
                    continue
                alter = int(float(pitch.findtext("alter", "0")))
                text = pitch.findtext("step") + ("#" * alter if alter > 0 else "b" * -alter) + \
                    pitch.findtext("octave")
                accidental = note.findtext("accidental")
                if accidental:
                    text += "[%s]" % SIGNS.get(accidental, accidental)
                notes.append(text)
            yield names[part.get("id")], measure.get("number"), notes


def main():
    before, after = list(measures(sys.argv[1])), list(measures(sys.argv[2]))
    width = max(len(" ".join(n)) for _, _, n in before) + 2
    print("%-22s %-*s %s" % ("part, measure", width, "before", "after"))
    for (part, number, old), (_, _, new) in zip(before, after):
        marker = "" if old == new else "   <- changed"
        print("%-22s %-*s %s%s" % ("%s, %s" % (part, number), width, " ".join(old),
                                  " ".join(new), marker))


if __name__ == "__main__":
    main()
