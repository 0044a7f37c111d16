// The page in a real browser: Debian's Chromium, headless, driven by playwright-core, the page
// served on 127.0.0.1 by web/tools/serve.mjs. Any request to another host fails the test. The
// oracle for every respelled file is the native program: `sorvel respell` with the same rows
// must give the same bytes.
//
// Environment: SORVEL (the native program; default build/native/sorvel/sorvel), WEB_SITE (the
// built page; default build/web), CHROMIUM (default /usr/bin/chromium), SCREENSHOT (where to
// save the README's picture, if set).
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {fileURLToPath, pathToFileURL} from 'node:url';

import {chromium} from 'playwright-core';

import {serve} from '../tools/serve.mjs';

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const SITE = path.resolve(ROOT, process.env.WEB_SITE || 'build/web');
const SORVEL = path.resolve(ROOT, process.env.SORVEL || 'build/native/sorvel/sorvel');
const EXAMPLE = path.join(ROOT, 'examples/Chorale.musicxml');
const SETS = path.join(ROOT, 'examples/vesksorvel.txt');
const RESPELLED = '#C0392B';
const TIMEOUT = 60000;

let server;
let browser;
let base;
let work;
const strayRequests = [];

before(async () => {
    work = fs.mkdtempSync(path.join(os.tmpdir(), 'sorvel-page-'));
    server = await serve(SITE);
    base = `http://127.0.0.1:${server.address().port}/`;
    browser = await chromium.launch({
        executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
        args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
               '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
});

after(async () => {
    await browser?.close();
    server?.close();
    fs.rmSync(work, {recursive: true, force: true});
    assert.deepEqual(strayRequests, [], 'the page asked for something not on 127.0.0.1');
});

// newPage opens the page (served, or the single file through file://) with every request off
// 127.0.0.1 refused and recorded, and waits until it is ready or has failed.
async function newPage(url = base) {
    const context = await browser.newContext({acceptDownloads: true});
    await context.route('**/*', (route) => {
        const target = new URL(route.request().url());
        const local = target.protocol === 'file:' || target.protocol === 'data:' ||
            target.protocol === 'blob:' || target.hostname === '127.0.0.1';
        if (local) {
            return route.continue();
        }
        strayRequests.push(target.href);
        return route.abort();
    });
    const page = await context.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    await page.goto(url);
    await page.waitForSelector('#status[data-state="ready"], #status[data-state="error"]',
                               {timeout: TIMEOUT});
    const state = await page.getAttribute('#status', 'data-state');
    assert.equal(state, 'ready', `the page did not start: ${await page.textContent('#status')} ${errors}`);
    page.errors = errors;
    return page;
}

// waitDone waits for a respelling to end (or the page to fail) and answers the status.
async function waitDone(page) {
    await page.waitForSelector('#status[data-state="done"], #status[data-state="error"]',
                               {timeout: TIMEOUT});
    return {state: await page.getAttribute('#status', 'data-state'),
            text: await page.textContent('#status')};
}

async function addRow(page, from, to, direction = 'closest') {
    await page.fill('#from-field', from);
    await page.fill('#to-field', to);
    await page.selectOption('#direction-field', direction);
    await page.click('#add-row');
}

// downloadBytes clicks a button that downloads one file and answers its name and bytes.
async function downloadBytes(page, selector) {
    const [download] = await Promise.all([page.waitForEvent('download'), page.click(selector)]);
    const file = path.join(work, `download-${Date.now()}-${Math.random()}`);
    await download.saveAs(file);
    return {name: download.suggestedFilename(), bytes: fs.readFileSync(file)};
}

// native runs `sorvel respell` on a copy of the score and answers the bytes it wrote.
function native(score, args) {
    const output = path.join(work, `native-${Date.now()}-${path.basename(score)}`);
    execFileSync(SORVEL, ['respell', ...args, '-o', output, score], {stdio: 'pipe'});
    return fs.readFileSync(output);
}

// withoutZipTimes blanks the modification times of a zip's entries (local headers and central
// directory). sorvel gives the rewritten score entry of an .mxl the time of the run, so two
// runs agree byte for byte only within the same two seconds; every other byte must be equal.
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

async function coloured(page, selector) {
    return page.$$eval(`${selector} g.note`, (notes, colour) =>
        notes.filter((note) => (note.getAttribute('color') || '').toUpperCase() === colour).length,
    RESPELLED);
}

test('typed rows, a bad spelling, the worked example: the same bytes as sorvel', async () => {
    const page = await newPage();
    // A bad From: the dialog's message beside the field and the focus on it.
    await addRow(page, 'H#', 'Bb');
    assert.equal(await page.textContent('#from-error'),
                 "The 'From' field has wrong syntax. Use a syntax similar to: A#, Bb, C## (or Cx), Dbb, etc.");
    assert.equal(await page.evaluate(() => document.activeElement.id), 'from-field');
    // A bad To: the To field's message and the focus there.
    await addRow(page, 'A#', 'Bq');
    assert.match(await page.textContent('#to-error'), /^The 'To' field has wrong syntax/);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'to-field');
    await addRow(page, 'a#', 'bb');  // normalised by the check, as in the dialog
    await addRow(page, 'D#', 'Eb', 'up');
    await addRow(page, 'A#', 'Bb');  // a second row for A#: refused
    assert.match(await page.textContent('#row-alert'), /already exists in the list/);
    assert.deepEqual(await page.$$eval('#row-table tbody tr', (rows) =>
        rows.map((row) => [...row.cells].slice(1).map((cell) => cell.textContent).join(' '))),
    ['A# Bb Closest', 'D# Eb Up']);

    await page.setInputFiles('#score-files', EXAMPLE);
    await page.click('#respell');
    const status = await waitDone(page);
    assert.equal(status.state, 'done', status.text);
    const {name, bytes} = await downloadBytes(page, '#result-list button[data-file="0"]');
    assert.equal(name, 'Chorale.musicxml');
    const expected = native(EXAMPLE, ['--row', 'A#>Bb:closest', '--row', 'D#>Eb:up']);
    assert.ok(bytes.equals(expected), 'the page\'s file differs from sorvel\'s');

    // The drawing: one coloured note per change, in the drawing after respelling.
    await page.waitForSelector('#drawing-status[data-state="drawn"], #drawing-status[data-state="error"]',
                               {timeout: TIMEOUT});
    assert.equal(await page.getAttribute('#drawing-status', 'data-state'), 'drawn',
                 await page.textContent('#drawing-status'));
    const changes = await page.$$eval('#change-table tbody tr', (rows) => rows.length);
    assert.ok(changes > 0);
    assert.equal(await coloured(page, '#after-drawing'), changes);
    assert.equal(await coloured(page, '#before-drawing'), changes);
    // Choosing a change marks its note.
    await page.click('#change-table tbody tr:first-child button');
    assert.equal(await page.$$eval('#after-drawing .chosen', (notes) => notes.length), 1);
    if (process.env.SCREENSHOT) {
        await page.setViewportSize({width: 1400, height: 1100});
        await page.evaluate(() => window.scrollTo(0, 0));
        await page.screenshot({path: process.env.SCREENSHOT, fullPage: true});
    }
    assert.deepEqual(page.errors, []);
    await page.context().close();
});

test('row edits as in the dialog: Add Inverse, Update, Delete, moving, the measures check', async () => {
    const page = await newPage();
    const rows = () => page.$$eval('#row-table tbody tr', (lines) =>
        lines.map((line) => [...line.cells].slice(1).map((cell) => cell.textContent).join(' ')));
    await page.fill('#from-field', 'A#');
    await page.fill('#to-field', 'Bb');
    await page.selectOption('#direction-field', 'up');
    await page.click('#add-inverse');  // Bb becomes A#, Up becomes Down
    await page.click('#add-row');
    assert.deepEqual(await rows(), ['Bb A# Down', 'A# Bb Up']);
    // Add Inverse reads To as its From: a bad To is reported at the To field.
    await page.fill('#to-field', 'Xb');
    await page.click('#add-inverse');
    assert.match(await page.textContent('#to-error'), /^The 'To' field has wrong syntax/);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'to-field');
    // Update the first row; a From that another row has is refused.
    await page.click('#row-table tbody tr:nth-child(1) button');
    assert.equal(await page.inputValue('#from-field'), 'Bb');
    await page.fill('#from-field', 'A#');
    await page.click('#update-row');
    assert.match(await page.textContent('#row-alert'), /already exists in the list at another place/);
    await page.fill('#from-field', 'cx');
    await page.fill('#to-field', 'D');
    await page.click('#update-row');
    // Selecting the row showed its direction (Down), which Update keeps.
    assert.deepEqual(await rows(), ['C## D Down', 'A# Bb Up']);
    await page.click('#row-down');
    assert.deepEqual(await rows(), ['A# Bb Up', 'C## D Down']);
    await page.click('#delete-row');
    assert.deepEqual(await rows(), ['A# Bb Up']);
    // A measure list the core cannot read: its message at the field, the focus there.
    await page.setInputFiles('#score-files', EXAMPLE);
    await page.fill('#measures-field', '3-x');
    await page.click('#respell');
    assert.equal((await waitDone(page)).state, 'error');
    assert.match(await page.textContent('#measures-error'), /^Measures 3-x: /);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'measures-field');
    await page.context().close();
});

test('an .mxl score round trip gives sorvel\'s bytes', async () => {
    const scores = path.join(work, 'scores');
    execFileSync('python3', [path.join(ROOT, 'tests/sorvel/make_scores.py'), scores, '15']);
    const mxl = path.join(scores, 'Voices.mxl');
    const page = await newPage();
    await addRow(page, 'C', 'B#', 'down');
    await addRow(page, 'F#', 'Gb');
    await page.setInputFiles('#score-files', mxl);
    await page.click('#respell');
    assert.equal((await waitDone(page)).state, 'done');
    const {bytes} = await downloadBytes(page, '#result-list button[data-file="0"]');
    assert.equal(bytes.subarray(0, 2).toString(), 'PK');
    const expected = native(mxl, ['--row', 'C>B#:down', '--row', 'F#>Gb:closest']);
    assert.equal(bytes.length, expected.length);
    assert.ok(withoutZipTimes(bytes).equals(withoutZipTimes(expected)), 'the .mxl differs from sorvel\'s');
    await page.context().close();
});

test('a refused file shows sorvel\'s message; the other files go on', async () => {
    const timewise = path.join(work, 'Timewise.musicxml');
    fs.writeFileSync(timewise, '<?xml version="1.0"?>\n<score-timewise version="3.1"/>\n');
    // A truncated .mxl and bytes that are no score at all.
    const scores = path.join(work, 'refused');
    execFileSync('python3', [path.join(ROOT, 'tests/sorvel/make_scores.py'), scores, '3']);
    const whole = fs.readFileSync(path.join(scores, 'Voices.mxl'));
    const truncated = path.join(work, 'Truncated.mxl');
    fs.writeFileSync(truncated, whole.subarray(0, Math.floor(whole.length / 2)));
    const noise = path.join(work, 'Noise.xml');
    fs.writeFileSync(noise, Buffer.from([0, 159, 146, 150, 255, 254, 0, 0, 60, 0]));
    const page = await newPage();
    await addRow(page, 'A#', 'Bb');
    await page.setInputFiles('#score-files', [timewise, EXAMPLE, truncated, noise]);
    await page.click('#respell');
    const status = await waitDone(page);
    assert.equal(status.state, 'done');
    assert.match(status.text, /3 of 4 scores refused/);
    const refused = await page.$$eval('#result-list li[data-ok="false"] .refused',
                                      (lines) => lines.map((line) => line.textContent));
    assert.equal(refused.length, 3);
    assert.match(refused[0], /^Timewise\.musicxml: .*a timewise MusicXML score/);
    assert.match(refused[1], /^Truncated\.mxl: /);
    assert.match(refused[2], /^Noise\.xml: /);
    assert.equal(await page.$$eval('#result-list li[data-ok="false"] button', (b) => b.length), 0);
    const {name, bytes} = await downloadBytes(page, '#result-list button[data-file="1"]');
    assert.equal(name, 'Chorale.musicxml');
    assert.ok(bytes.equals(native(EXAMPLE, ['--row', 'A#>Bb:closest'])));
    await page.context().close();
});

test('several files at once, each as sorvel writes it, and the report', async () => {
    const scores = path.join(work, 'several');
    execFileSync('python3', [path.join(ROOT, 'tests/sorvel/make_scores.py'), scores, '7']);
    const names = ['Keys.musicxml', 'Transposing.musicxml', 'Utf16Little.musicxml'];
    const page = await newPage();
    await addRow(page, 'A#', 'Bb');
    await addRow(page, 'Gb', 'F#', 'up');
    await page.click('input[name="pitch"][value="written"]');
    await page.setInputFiles('#score-files', names.map((name) => path.join(scores, name)));
    await page.click('#respell');
    assert.equal((await waitDone(page)).state, 'done');
    for (let i = 0; i < names.length; ++i) {
        const {name, bytes} = await downloadBytes(page, `#result-list button[data-file="${i}"]`);
        assert.equal(name, names[i]);
        const expected = native(path.join(scores, names[i]),
                                ['--row', 'A#>Bb:closest', '--row', 'Gb>F#:up', '--written']);
        assert.ok(bytes.equals(expected), `${names[i]} differs from sorvel's`);
    }
    // Download all: one download per respelled file.
    const downloads = [];
    const allThere = new Promise((resolve) => page.on('download', (download) => {
        downloads.push(download.suggestedFilename());
        if (downloads.length === names.length) {
            resolve();
        }
    }));
    await page.click('#download-all');
    await allThere;
    assert.deepEqual(downloads.sort(), [...names].sort());
    const report = (await downloadBytes(page, '#report-json')).bytes.toString();
    const parsed = JSON.parse(report);
    assert.deepEqual(parsed.files.map((file) => file.file), names);
    await page.context().close();
});

test('pitch sets: open the file, use a set, save one, download the file as the plug-in writes it',
     async () => {
    const page = await newPage();
    await page.setInputFiles('#sets-file', SETS);
    await page.waitForSelector('#set-choice option', {state: 'attached'});
    const names = await page.$$eval('#set-choice option', (options) => options.map((o) => o.textContent));
    assert.ok(names.length >= 2, names.join());
    await page.selectOption('#set-choice', {index: 0});
    await page.click('#use-set');
    const rows = await page.$$eval('#row-table tbody tr', (r) => r.length);
    assert.ok(rows > 0);
    // Respelling with the set gives what sorvel gives with --set.
    await page.setInputFiles('#score-files', EXAMPLE);
    await page.click('#respell');
    assert.equal((await waitDone(page)).state, 'done');
    const setName = names[0].replace(/ \(\d+ rows?\)$/, '');
    const {bytes} = await downloadBytes(page, '#result-list button[data-file="0"]');
    assert.ok(bytes.equals(native(EXAMPLE, ['--set', setName, '--sets', SETS])));
    // Saving the rows as a new set and downloading the file: the sets read back as they were,
    // and the new set is the last one.
    await page.fill('#set-name', '  Copy of the first  ');
    await page.click('#save-set');
    const file = (await downloadBytes(page, '#download-sets')).bytes.toString('latin1');
    const expected = fs.readFileSync(SETS, 'latin1');
    assert.ok(file.startsWith(expected), 'the opened sets are not written back as they were');
    const setCount = (expected.match(/^VESKSORVEL_LIST_NAME_/gm) || []).length;
    assert.match(file, new RegExp(`^VESKSORVEL_LIST_NAME_${setCount + 1}=Copy of the first\r$`, 'm'));
    // The sets are kept in the browser between visits.
    await page.reload();
    await page.waitForSelector('#status[data-state="ready"]');
    const kept = await page.$$eval('#set-choice option', (options) => options.map((o) => o.textContent));
    assert.equal(kept.length, setCount + 1);
    assert.match(kept.at(-1), /^Copy of the first \(/);
    await page.context().close();
});

test('the single file opened from disk respells and downloads the same bytes', async () => {
    const page = await newPage(pathToFileURL(path.join(SITE, 'VeskSorvel.html')).href);
    await addRow(page, 'A#', 'Bb');
    await addRow(page, 'Eb', 'D#', 'down');
    await page.setInputFiles('#score-files', EXAMPLE);
    await page.click('#respell');
    assert.equal((await waitDone(page)).state, 'done');
    const {bytes} = await downloadBytes(page, '#result-list button[data-file="0"]');
    assert.ok(bytes.equals(native(EXAMPLE, ['--row', 'A#>Bb:closest', '--row', 'Eb>D#:down'])));
    await page.waitForSelector('#drawing-status[data-state="drawn"]', {timeout: TIMEOUT});
    await page.context().close();
});
