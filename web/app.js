// app: the page's start and its flow: open scores, respell them with the rows through the
// WebAssembly core (one Batch per respelling, as one run of the command line), list each
// file's outcome with its download, the reports, and the preview. A refused file shows the
// core's message and offers nothing to download; the other files go on.
import {Preview} from './drawing.js';
import {RowList} from './rows.js';
import {PitchSets} from './sets.js';
import {$, download, element, readFile, setStatus} from './util.js';

const SCORE_TYPE = 'application/vnd.recordare.musicxml';

function typeOf(name) {
    return /\.mxl$/i.test(name) ? SCORE_TYPE : `${SCORE_TYPE}+xml`;
}

class App {
    constructor(core) {
        this.core = core;
        this.files = [];  // {name, bytes}
        this.batch = null;
        this.results = [];
        this.preview = new Preview();
        this.rows = new RowList(core, () => this.update());
        this.sets = new PitchSets(core, this.rows);
        $('score-files').addEventListener('change', (event) => this.open(event.target.files));
        const drop = $('drop');
        for (const target of [drop, document.body]) {
            target.addEventListener('dragover', (event) => {
                event.preventDefault();
                drop.classList.add('over');
            });
            target.addEventListener('drop', (event) => {
                event.preventDefault();
                drop.classList.remove('over');
                this.open(event.dataTransfer.files);
            });
        }
        drop.addEventListener('dragleave', () => drop.classList.remove('over'));
        $('respell').addEventListener('click', () => this.respell());
        $('download-all').addEventListener('click', () => this.downloadAll());
        $('report-csv').addEventListener('click', () => this.report('csv'));
        $('report-json').addEventListener('click', () => this.report('json'));
        this.update();
    }

    update() {
        $('respell').disabled = this.files.length === 0 || this.rows.rows.length === 0;
        if (this.sets) {
            this.sets.render();
        }
    }

    async open(fileList) {
        const picked = [...fileList];
        if (picked.length === 0) {
            return;
        }
        this.files = await Promise.all(picked.map(async (file) =>
            ({name: file.name, bytes: await readFile(file)})));
        $('file-list').replaceChildren(...this.files.map((file) =>
            element('li', `${file.name} (${file.bytes.length.toLocaleString()} bytes)`)));
        setStatus('ready', `${this.files.length} score${this.files.length === 1 ? '' : 's'} opened.`);
        this.update();
    }

    request() {
        return {
            rows: this.rows.rows,
            written: document.querySelector('input[name="pitch"]:checked').value === 'written',
            parts: $('parts-field').value.split(',').map((part) => part.trim()).filter(Boolean),
            measures: $('measures-field').value.trim(),
        };
    }

    respell() {
        this.rows.clearAlerts();
        $('measures-error').textContent = '';
        $('measures-field').removeAttribute('aria-invalid');
        if (this.batch) {
            this.batch.delete();
        }
        this.batch = new this.core.Batch(this.request());
        const error = this.batch.error();
        if (error) {
            $('measures-error').textContent = error;
            $('measures-field').setAttribute('aria-invalid', 'true');
            $('measures-field').focus();
            setStatus('error', error);
            return;
        }
        setStatus('busy', 'Respelling…');
        $('batch-warnings').textContent = this.batch.warnings().join('\n');
        const start = performance.now();
        this.results = this.files.map((file) => this.batch.add(file.name, file.bytes));
        // The benchmark reads how long the core took (milliseconds, all files).
        this.respellTime = performance.now() - start;
        this.showResults();
        const refused = this.results.filter((result) => !result.ok).length;
        setStatus('done', refused === 0 ? `Respelled ${this.results.length} score${this.results.length === 1 ? '' : 's'}.` :
            `${refused} of ${this.results.length} score${this.results.length === 1 ? '' : 's'} refused.`);
        const first = this.results.findIndex((result) => result.ok);
        if (first >= 0) {
            this.showPreview(first);
        } else {
            this.preview.clear();
        }
    }

    showResults() {
        const list = $('result-list');
        list.replaceChildren();
        this.results.forEach((result, i) => {
            const name = this.files[i].name;
            const item = element('li', undefined, {'data-ok': String(result.ok)});
            if (!result.ok) {
                item.append(element('p', `${name}: ${result.error}`, {class: 'refused', role: 'alert'}));
                list.append(item);
                return;
            }
            item.append(element('p', result.summary, {class: 'summary'}));
            for (const warning of result.warnings) {
                item.append(element('p', `warning: ${warning}`, {class: 'warning'}));
            }
            const save = element('button', `Download ${name}`, {type: 'button', 'data-file': String(i)});
            save.addEventListener('click', () => this.downloadFile(i));
            const show = element('button', `Preview ${name}`, {type: 'button'});
            show.addEventListener('click', () => this.showPreview(i));
            item.append(save, show);
            list.append(item);
        });
        const ok = this.results.some((result) => result.ok);
        $('download-all').disabled = !ok;
        $('report-csv').disabled = this.results.length === 0;
        $('report-json').disabled = this.results.length === 0;
    }

    showPreview(i) {
        const batch = this.batch;
        this.preview.show(this.files[i].name, (first, count) => batch.drawing(i, first, count),
                          this.results[i].changes);
    }

    downloadFile(i) {
        const name = this.files[i].name;
        download(this.batch.bytes(i), name, typeOf(name));
    }

    downloadAll() {
        this.results.forEach((result, i) => {
            if (result.ok) {
                this.downloadFile(i);
            }
        });
    }

    report(format) {
        const text = this.batch.report(format);
        download(text, `sorvel-report.${format}`, format === 'json' ? 'application/json' : 'text/csv');
    }
}

async function start() {
    try {
        const core = await globalThis.SorvelCore();
        globalThis.sorvelApp = new App(core);
        setStatus('ready', 'Ready: open scores and add rows.');
    } catch (error) {
        setStatus('error', `The page could not start: ${error.message || error}`);
    }
}

window.addEventListener('error', (event) => setStatus('error', `Error: ${event.message}`));
window.addEventListener('unhandledrejection', (event) =>
    setStatus('error', `Error: ${event.reason && event.reason.message || event.reason}`));
start();
