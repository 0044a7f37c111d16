// The drawing copies of the WebAssembly core (web/DrawingCopy.cpp), under node: over sorvel's
// generated scores, drawn 3 measures at a time, every respelled note is coloured exactly once
// (the coloured notes of all stretches add up to the core's changes, each in the stretch its
// measure is in), and every stretch after the first opens each part with the attributes in
// force there (a key, a clef and the divisions), so that it is drawn in the right key.
//
// Environment: WEB_CORE (default build/web/sorvel-core.js).
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import {createRequire} from 'node:module';
import os from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {fileURLToPath} from 'node:url';

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const CORE = path.resolve(ROOT, process.env.WEB_CORE || 'build/web/sorvel-core.js');
const RESPELLED = 'color="#C0392B"';
const STRETCH = 3;

let core;
let work;
let scores;

before(async () => {
    work = fs.mkdtempSync(path.join(os.tmpdir(), 'sorvel-drawing-'));
    scores = path.join(work, 'scores');
    execFileSync('python3', [path.join(ROOT, 'tests/sorvel/make_scores.py'), scores, '21']);
    core = await createRequire(import.meta.url)(CORE)();
});

after(() => fs.rmSync(work, {recursive: true, force: true}));

const count = (text, piece) => text.split(piece).length - 1;

test('every respelled note is coloured once, in its stretch, drawn in the key in force', () => {
    const rows = ['A#>Bb', 'Db>C#', 'E>Fb:up', 'G>F##:down', 'C>B#', 'F#>Gb'].map((text) => {
        const [from, rest] = text.split('>');
        const [to, direction = 'closest'] = rest.split(':');
        return {from, to, direction, ticked: true};
    });
    const files = fs.readdirSync(scores).filter((name) => /\.(musicxml|xml|mxl)$/.test(name));
    assert.ok(files.length >= 10);
    for (const file of files) {
        const batch = new core.Batch({rows, written: false, parts: [], measures: ''});
        const result = batch.add(file, new Uint8Array(fs.readFileSync(path.join(scores, file))));
        assert.ok(result.ok, `${file}: ${result.error}`);
        const whole = batch.drawing(0, 0, 1e9);
        assert.equal(whole.respelledIds.length, result.changes.length, file);
        assert.equal(count(whole.after, RESPELLED), result.changes.length, file);
        assert.equal(count(whole.before, RESPELLED), result.changes.length, file);
        let coloured = 0;
        for (let first = 0; first < whole.measureCount; first += STRETCH) {
            const stretch = batch.drawing(0, first, STRETCH);
            const inStretch = stretch.respelledMeasures.filter(
                (measure) => measure >= first && measure < first + STRETCH).length;
            assert.equal(count(stretch.after, RESPELLED), inStretch, `${file} from ${first}`);
            coloured += inStretch;
            if (first > 0) {
                // Each part's first measure opens with the attributes in force.
                for (const part of stretch.after.split(/<part\s+id=/).slice(1)) {
                    const opening = part.slice(part.indexOf('<measure'), part.indexOf('</measure>'));
                    const attributes = opening.match(/<attributes>[\s\S]*?<\/attributes>/);
                    assert.ok(attributes, `${file} from ${first}: no attributes`);
                    for (const kind of ['<divisions>', '<key']) {
                        assert.ok(attributes[0].includes(kind), `${file} from ${first}: no ${kind}`);
                    }
                }
            }
        }
        assert.equal(coloured, result.changes.length, file);
        batch.delete();
    }
});
