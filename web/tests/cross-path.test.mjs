// The two front ends on one core: every generated score of sorvel's tests
// (tests/sorvel/make_scores.py), respelled through the WebAssembly build under node and through
// the native program with the same rows, in sounding and in written pitch, must give identical
// bytes and identical change lists (the dry run's lines, which both take from the core).
//
// Environment: SORVEL (default build/native/sorvel/sorvel), WEB_CORE (default
// build/web/sorvel-core.js).
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import {createRequire} from 'node:module';
import os from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {fileURLToPath} from 'node:url';

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const SORVEL = path.resolve(ROOT, process.env.SORVEL || 'build/native/sorvel/sorvel');
const CORE = path.resolve(ROOT, process.env.WEB_CORE || 'build/web/sorvel-core.js');

// The row lists of sorvel's generated-score test, read from it so that both stay one list.
const ROW_LISTS = JSON.parse(execFileSync('python3', ['-c', `
import json, sys
sys.path.insert(0, ${JSON.stringify(path.join(ROOT, 'tests/sorvel'))})
import check_generated
print(json.dumps(check_generated.ROW_LISTS))`]).toString());

let core;
let work;
let scores;

before(async () => {
    work = fs.mkdtempSync(path.join(os.tmpdir(), 'sorvel-cross-'));
    scores = path.join(work, 'scores');
    execFileSync('python3', [path.join(ROOT, 'tests/sorvel/make_scores.py'), scores]);
    core = await createRequire(import.meta.url)(CORE)();
});

after(() => fs.rmSync(work, {recursive: true, force: true}));

// rowOf turns a command-line row (FROM>TO:DIRECTION) into the page's form.
function rowOf(text) {
    const [from, rest] = text.split('>');
    const [to, direction = 'closest'] = rest.split(':');
    return {from, to, direction, ticked: true};
}

// withoutZipTimes: see page.test.mjs; sorvel stamps the rewritten .mxl entry with the time.
function withoutZipTimes(bytes) {
    const copy = Buffer.from(bytes);
    for (let i = 0; i + 4 <= copy.length; ++i) {
        if (copy.readUInt32LE(i) === 0x04034b50 && i + 14 <= copy.length) {
            copy.fill(0, i + 10, i + 14);
        } else if (copy.readUInt32LE(i) === 0x02014b50 && i + 16 <= copy.length) {
            copy.fill(0, i + 12, i + 16);
        }
    }
    return copy;
}

function nativeRun(score, rows, written) {
    const output = path.join(work, `native-${path.basename(score)}`);
    const args = ['respell', ...rows.flatMap((row) => ['--row', row]),
                  ...(written ? ['--written'] : [])];
    const lines = execFileSync(SORVEL, [...args, '--dry-run', score]).toString();
    execFileSync(SORVEL, [...args, '-o', output, score], {stdio: 'pipe'});
    return {bytes: fs.readFileSync(output), lines};
}

function wasmRun(score, rows, written) {
    const batch = new core.Batch({rows: rows.map(rowOf), written, parts: [], measures: ''});
    try {
        const result = batch.add(score, new Uint8Array(fs.readFileSync(score)));
        assert.ok(result.ok, `${score}: ${result.error}`);
        const lines = result.changes.map((change) => `${change.line}\n`).join('') +
            `${result.summary}\n`;
        return {bytes: Buffer.from(batch.bytes(0)), lines};
    } finally {
        batch.delete();
    }
}

test('the WebAssembly core and the native program agree on every generated score', () => {
    const files = fs.readdirSync(scores).filter((name) => /\.(musicxml|xml|mxl)$/.test(name)).sort();
    assert.ok(files.length >= 10, `only ${files.length} generated scores`);
    let runs = 0;
    for (const file of files) {
        const score = path.join(scores, file);
        for (const [list, rows] of Object.entries(ROW_LISTS)) {
            for (const written of [false, true]) {
                const label = `${file}, ${list} rows, ${written ? 'written' : 'sounding'} pitch`;
                const wasm = wasmRun(score, rows, written);
                const native = nativeRun(score, rows, written);
                assert.equal(wasm.lines, native.lines, `${label}: the change lists differ`);
                const same = file.endsWith('.mxl') ?
                    withoutZipTimes(wasm.bytes).equals(withoutZipTimes(native.bytes)) :
                    wasm.bytes.equals(native.bytes);
                assert.ok(same, `${label}: the bytes differ`);
                ++runs;
            }
        }
    }
    assert.equal(runs, files.length * Object.keys(ROW_LISTS).length * 2);
});
