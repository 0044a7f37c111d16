#!/usr/bin/env python3
"""Lists, for a musician, the notes that differ between two score files of the stand-in host
(the score before a session and the one finale.exe wrote with --out): staff, measure, beat,
and the note before and after. Notes are compared at sounding pitch, as the files spell them;
on transposing staves the written pitch is shown too.

demo-changes.py BEFORE.json AFTER.json
"""
import json
import sys

LETTERS = "CDEFGAB"
SEMITONES = [0, 2, 4, 5, 7, 9, 11]
QUARTER = 1024  # position units of a quarter note


def parse(spelling):
    letter = LETTERS.index(spelling[0])
    i = 1
    alter = 0
    while i < len(spelling) and spelling[i] in "#b":
        alter += 1 if spelling[i] == "#" else -1
        i += 1
    return letter, alter, int(spelling[i:])


def spell(letter, alter, octave):
    return LETTERS[letter] + ("#" * alter if alter > 0 else "b" * -alter) + str(octave)


def signed(value, bits):
    value &= (1 << bits) - 1
    return value - (1 << bits) if value >= 1 << (bits - 1) else value


def written(spelling, transposition):
    """The written pitch on a staff whose transposition keeps the key's form (a number of
    steps and of sharps added to the key), or None when there is none to show."""
    if transposition & 0xBFFF == 0 or transposition & 0x2000:
        return None
    steps = signed(transposition >> 6, 6)
    sharps = signed(transposition, 6)
    semitones = (7 * sharps) % 12
    # The octave of the interval comes from its steps.
    while semitones - steps * 12 / 7 > 6:
        semitones -= 12
    while steps * 12 / 7 - semitones > 6:
        semitones += 12
    letter, alter, octave = parse(spelling)
    target = letter + steps
    new_letter, new_octave = target % 7, octave + target // 7
    sound = 12 * octave + SEMITONES[letter] + alter + semitones
    new_alter = sound - (12 * new_octave + SEMITONES[new_letter])
    return spell(new_letter, new_alter, new_octave)


def beat(pos):
    whole, part = divmod(pos, QUARTER)
    return str(whole + 1) if part == 0 else f"{whole + 1} + {part}/{QUARTER}"


def notes_of(score):
    out = {}
    for entry in score["entries"]:
        for index, note in enumerate(entry.get("notes", [])):
            key = (entry["staff"], entry["measure"], entry["layer"], entry["pos"], index)
            out[key] = note if isinstance(note, str) else json.dumps(note)
    return out


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        before = json.load(f)
    with open(sys.argv[2], encoding="utf-8") as f:
        after = json.load(f)
    staves = {s["id"]: s for s in before["staves"]}
    slot = {s["id"]: i for i, s in enumerate(before["staves"])}
    old, new = notes_of(before), notes_of(after)
    changed = sorted((k for k in old if new.get(k) != old[k]),
                     key=lambda k: (slot[k[0]], k[1], k[2], k[3], k[4]))
    if not changed:
        print("No note changed.")
        return
    width = max(len(staves[k[0]]["name"]) for k in changed)
    print(f"{len(changed)} notes changed (sounding pitch; written pitch in brackets):")
    for key in changed:
        staff, measure, layer, pos, _ = key
        was, now = old[key], new.get(key, "(gone)")
        line = (f"  {staves[staff]['name']:<{width}}  measure {measure}, beat {beat(pos):<3}"
                f"{'  (layer ' + str(layer) + ')' if layer != 1 else ''}  {was:>4} -> {now:<4}")
        t = staves[staff].get("transposition", 0)
        w_was, w_now = written(was, t), written(now, t) if now != "(gone)" else None
        if w_was and w_now:
            line += f"  [{w_was} -> {w_now}]"
        print(line.rstrip())


if __name__ == "__main__":
    main()
