// bench: the browser page's benchmark (not a test): respelling sorvel's benchmark scores with
// the 4 rows of sorvel_bench, through the native program, the WebAssembly core under node and
// the page in Chromium (best of 3 each), and the time from choosing a file in the page to its
// first drawn page. Prints a Markdown table.
// Usage: node bench.mjs SORVEL SITE SCORE...
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import {createRequire} from 'node:module';
import os from 'node:os';
import path from 'node:path';

import {chromium} from 'playwright-core';

import {serve} from './serve.mjs';

const [sorvel, site, ...scores] = process.argv.slice(2);
const ROWS = ['A#>Bb', 'Db>C#', 'E>Fb:up', 'G>F##:down'];
const RUNS = 3;

function pageRow(text) {
    const [from, rest] = text.split('>');
    const [to, direction = 'closest'] = rest.split(':');
    return {from, to, direction, ticked: true};
}

// nativeCpu answers the best processor time (user + system) of `sorvel respell`, from the
// child's resource usage as python reads it.
function nativeCpu(score, output) {
    const script = `
import resource, subprocess, sys
best = None
for _ in range(${RUNS}):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(sys.argv[1:], check=True, stdout=subprocess.DEVNULL)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime
    best = cpu if best is None else min(best, cpu)
print(best)`;
    const args = ['respell', ...ROWS.flatMap((row) => ['--row', row]), '-o', output, score];
    return Number(execFileSync('python3', ['-c', script, sorvel, ...args]).toString());
}

async function nodeCpu(core, bytes) {
    let best = Infinity;
    for (let i = 0; i < RUNS; ++i) {
        const start = process.cpuUsage();
        const batch = new core.Batch({rows: ROWS.map(pageRow), written: false, parts: [], measures: ''});
        batch.add('score', bytes);
        batch.bytes(0);
        batch.delete();
        const used = process.cpuUsage(start);
        best = Math.min(best, (used.user + used.system) / 1e6);
    }
    return best;
}

// browserTimes opens the page, types the rows, chooses the file and respells it: the core's
// time in the page (best of 3 respellings) and the time from choosing the file to its first
// page drawn before and after (the first respelling).
async function browserTimes(browser, base, score) {
    const page = await browser.newPage();
    await page.goto(base);
    await page.waitForSelector('#status[data-state="ready"]');
    for (const row of ROWS) {
        const r = pageRow(row);
        await page.fill('#from-field', r.from);
        await page.fill('#to-field', r.to);
        await page.selectOption('#direction-field', r.direction);
        await page.click('#add-row');
    }
    const start = Date.now();
    await page.setInputFiles('#score-files', score);
    await page.waitForSelector('#respell:not([disabled])');
    await page.click('#respell');
    await page.waitForSelector('#drawing-status[data-state="drawn"], #drawing-status[data-state="error"]',
                               {timeout: 600000});
    const drawn = (Date.now() - start) / 1000;
    const pages = await page.textContent('#page-number');
    let respell = await page.evaluate(() => globalThis.sorvelApp.respellTime);
    for (let i = 1; i < RUNS; ++i) {
        await page.click('#respell');
        await page.waitForSelector('#status[data-state="done"]');
        respell = Math.min(respell, await page.evaluate(() => globalThis.sorvelApp.respellTime));
        await page.waitForSelector('#drawing-status[data-state="drawn"]', {timeout: 600000});
    }
    await page.close();
    return {respell: respell / 1000, drawn, pages};
}

const server = await serve(site);
const base = `http://127.0.0.1:${server.address().port}/`;
const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
const core = await createRequire(import.meta.url)(path.resolve(site, 'sorvel-core.js'))();
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'sorvel-web-bench-'));
console.log('| score | MB | native CPU s | wasm under node CPU s | node / native | wasm in Chromium s (wall) | choosing the file to first page drawn, s |');
console.log('| --- | --- | --- | --- | --- | --- | --- |');
for (const score of scores) {
    const bytes = new Uint8Array(fs.readFileSync(score));
    const native = nativeCpu(score, path.join(work, 'out.musicxml'));
    const wasm = await nodeCpu(core, bytes);
    const page = await browserTimes(browser, base, score);
    console.log(`| ${path.basename(score)} | ${(bytes.length / 1e6).toFixed(2)} | ${native.toFixed(3)} | ` +
                `${wasm.toFixed(3)} | ${(wasm / native).toFixed(2)}× | ${page.respell.toFixed(3)} | ` +
                `${page.drawn.toFixed(2)} (${page.pages}) |`);
}
await browser.close();
server.close();
fs.rmSync(work, {recursive: true, force: true});
