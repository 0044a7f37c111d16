// drawing: the preview: the score before and after drawn by verovio from the core's drawing
// copies (respelled notes and mended accidentals coloured there, never in the downloaded
// file), a stretch of measures at a time, so that a long score costs no more to show than a
// short one; and the change list as the core writes it. Drawing starts after the results are
// shown, so it never holds up respelling or downloading.
import {$, element} from './util.js';

const OPTIONS = {scale: 35, adjustPageHeight: true, pageWidth: 1400, breaks: 'auto',
                 footer: 'none', header: 'none'};
// The measures drawn at once: a page of a printed part or two.
const MEASURES_PER_PAGE = 16;

export class Preview {
    constructor() {
        this.toolkits = null;
        this.draw = null;  // (first, count) => the core's drawing copies
        this.page = 0;
        this.pages = 0;
        this.ids = [];
        this.measures = [];
        this.changes = [];
        this.chosen = -1;
        $('page-prev').addEventListener('click', () => this.turn(-1));
        $('page-next').addEventListener('click', () => this.turn(1));
    }

    async ready() {
        if (!this.toolkits) {
            await globalThis.verovioReady;
            this.toolkits = {before: new globalThis.verovio.toolkit(),
                             after: new globalThis.verovio.toolkit()};
            this.toolkits.before.setOptions(OPTIONS);
            this.toolkits.after.setOptions(OPTIONS);
        }
        return this.toolkits;
    }

    setStatus(state, text) {
        $('drawing-status').dataset.state = state;
        $('drawing-status').textContent = text;
    }

    // show draws the first page of one file; draw(first, count) answers its drawing copies.
    async show(name, draw, changes) {
        this.setStatus('drawing', `Drawing ${name}…`);
        this.name = name;
        this.draw = draw;
        this.changes = changes;
        this.chosen = -1;
        this.renderChanges();
        // Let the browser paint the results and enable the downloads first.
        await new Promise((resolve) => setTimeout(resolve, 0));
        try {
            await this.ready();
            this.renderPage(0);
            this.setStatus('drawn', `${name}: page 1 of ${this.pages} drawn.`);
        } catch (error) {
            this.setStatus('error', `${name} could not be drawn: ${error.message || error}`);
        }
    }

    // svgOf loads one copy into a toolkit and answers all its pages' drawings.
    static svgOf(toolkit, text) {
        if (!toolkit.loadData(text)) {
            throw new Error('the drawing library could not read the score');
        }
        let svg = '';
        for (let page = 1; page <= toolkit.getPageCount(); ++page) {
            svg += toolkit.renderToSVG(page);
        }
        return svg;
    }

    renderPage(page) {
        const copies = this.draw(page * MEASURES_PER_PAGE, MEASURES_PER_PAGE);
        this.page = page;
        this.pages = Math.max(1, Math.ceil(copies.measureCount / MEASURES_PER_PAGE));
        this.ids = copies.respelledIds;
        this.measures = copies.respelledMeasures;
        $('before-drawing').innerHTML = Preview.svgOf(this.toolkits.before, copies.before);
        $('after-drawing').innerHTML = Preview.svgOf(this.toolkits.after, copies.after);
        $('page-number').textContent = `Page ${page + 1} of ${this.pages}`;
        $('page-prev').disabled = page <= 0;
        $('page-next').disabled = page >= this.pages - 1;
        this.markChosen();
    }

    turn(step) {
        const page = this.page + step;
        if (this.toolkits && this.draw && page >= 0 && page < this.pages) {
            this.renderPage(page);
            this.setStatus('drawn', `${this.name}: page ${page + 1} of ${this.pages} drawn.`);
        }
    }

    // choose shows change i in the drawing: its page, its note marked and scrolled to.
    choose(i) {
        this.chosen = i;
        const measure = this.measures[i];
        if (this.toolkits && this.draw && measure !== undefined) {
            const page = Math.floor(measure / MEASURES_PER_PAGE);
            if (page !== this.page) {
                this.renderPage(page);
            }
        }
        this.markChosen();
        for (const line of $('change-table').querySelectorAll('tbody tr')) {
            line.setAttribute('aria-selected', String(Number(line.dataset.index) === i));
        }
    }

    markChosen() {
        for (const old of document.querySelectorAll('.drawing .chosen')) {
            old.classList.remove('chosen');
        }
        const id = this.ids[this.chosen];
        if (!id) {
            return;
        }
        for (const note of [document.getElementById(id), document.getElementById(`${id}-before`)]) {
            if (note) {
                note.classList.add('chosen');
                note.scrollIntoView({block: 'nearest', inline: 'center'});
            }
        }
    }

    renderChanges() {
        const body = $('change-table').querySelector('tbody');
        body.replaceChildren();
        this.changes.forEach((change, i) => {
            const line = element('tr', undefined, {'data-index': String(i), title: change.line});
            const show = element('button', change.part, {
                type: 'button', class: 'link', 'aria-label': `Show in the drawing: ${change.line}`,
            });
            show.addEventListener('click', () => this.choose(i));
            const part = element('td');
            part.append(show);
            const sounding = change.soundingBefore ?
                `${change.soundingBefore} → ${change.soundingAfter}` : '';
            line.append(part, element('td', change.measure), element('td', change.beat),
                        element('td', `${change.writtenBefore} → ${change.writtenAfter}`),
                        element('td', sounding), element('td', change.row));
            body.append(line);
        });
    }

    clear() {
        this.draw = null;
        this.pages = 0;
        $('page-prev').disabled = true;
        $('page-next').disabled = true;
        $('page-number').textContent = '';
        $('before-drawing').replaceChildren();
        $('after-drawing').replaceChildren();
        this.changes = [];
        this.renderChanges();
        this.setStatus('idle', '');
    }
}
