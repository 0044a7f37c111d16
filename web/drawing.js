// drawing: the preview: the score before and after drawn by verovio, page by page, from the
// core's drawing copies (respelled notes and mended accidentals coloured there, never in the
// downloaded file), and the change list as the core writes it. Drawing starts after the
// results are shown, so it never holds up respelling or downloading.
import {$, element} from './util.js';

const OPTIONS = {scale: 35, adjustPageHeight: true, pageWidth: 1400, breaks: 'auto',
                 footer: 'none', header: 'none'};

export class Preview {
    constructor() {
        this.toolkits = null;
        this.page = 1;
        this.pages = 0;
        this.ids = [];
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

    // show draws one file's copies; drawing is one page at a time.
    async show(name, drawing, changes) {
        this.setStatus('drawing', `Drawing ${name}…`);
        this.ids = drawing.respelledIds;
        this.changes = changes;
        this.chosen = -1;
        this.renderChanges();
        // Let the browser paint the results and enable the downloads first.
        await new Promise((resolve) => setTimeout(resolve, 0));
        try {
            const kits = await this.ready();
            if (!kits.before.loadData(drawing.before) || !kits.after.loadData(drawing.after)) {
                throw new Error('the drawing library could not read the score');
            }
            this.pages = kits.after.getPageCount();
            this.page = 1;
            this.renderPage();
            this.setStatus('drawn', `${name}: page 1 of ${this.pages} drawn.`);
        } catch (error) {
            this.setStatus('error', `${name} could not be drawn: ${error.message || error}`);
        }
    }

    renderPage() {
        const kits = this.toolkits;
        const beforePage = Math.min(this.page, kits.before.getPageCount());
        $('before-drawing').innerHTML = kits.before.renderToSVG(beforePage);
        $('after-drawing').innerHTML = kits.after.renderToSVG(this.page);
        $('page-number').textContent = `Page ${this.page} of ${this.pages}`;
        $('page-prev').disabled = this.page <= 1;
        $('page-next').disabled = this.page >= this.pages;
        this.markChosen();
    }

    turn(step) {
        const page = this.page + step;
        if (this.toolkits && page >= 1 && page <= this.pages) {
            this.page = page;
            this.renderPage();
        }
    }

    // choose shows change i in the drawing: its page, its note marked and scrolled to.
    choose(i) {
        this.chosen = i;
        const id = this.ids[i];
        if (this.toolkits && id) {
            const page = this.toolkits.after.getPageWithElement(id);
            if (page > 0 && page !== this.page) {
                this.page = page;
                this.renderPage();
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
        $('before-drawing').replaceChildren();
        $('after-drawing').replaceChildren();
        this.changes = [];
        this.renderChanges();
        this.setStatus('idle', '');
    }
}
