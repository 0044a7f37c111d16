// sets: the pitch sets: opened from the plug-in's pitch-list file (vesksorvel.txt), used as
// the dialog's Use does (the rows with their ticks), saved from the current rows, and
// downloaded as a pitch-list file that the core writes exactly as the plug-in writes it. The
// sets are also kept in the browser's storage, in the file's own form, between visits.
import {$, download, element, readFile} from './util.js';

const STORAGE_KEY = 'vesk-sorvel-pitch-list';

function toBase64(bytes) {
    let text = '';
    for (const byte of bytes) {
        text += String.fromCharCode(byte);
    }
    return btoa(text);
}

function fromBase64(text) {
    return Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
}

export class PitchSets {
    constructor(core, rowList) {
        this.core = core;
        this.rowList = rowList;
        this.sets = [];
        try {
            const kept = localStorage.getItem(STORAGE_KEY);
            if (kept) {
                this.sets = core.readPitchList(fromBase64(kept));
            }
        } catch {
            this.sets = [];  // storage refused (private window, file://): sets live this visit only
        }
        $('sets-file').addEventListener('change', (event) => this.open(event.target.files[0]));
        $('set-choice').addEventListener('change', () => {
            const set = this.sets[$('set-choice').selectedIndex];
            if (set) {
                $('set-name').value = set.name;
            }
            this.render();
        });
        $('use-set').addEventListener('click', () => this.use());
        $('delete-set').addEventListener('click', () => this.remove());
        $('save-set').addEventListener('click', () => this.save());
        $('set-name').addEventListener('input', () => this.render());
        $('download-sets').addEventListener('click', () => this.downloadFile());
        this.render();
    }

    async open(file) {
        if (!file) {
            return;
        }
        this.sets = this.core.readPitchList(await readFile(file));
        this.keep();
        this.render();
        $('sets-message').textContent =
            `${file.name}: ${this.sets.length} pitch set${this.sets.length === 1 ? '' : 's'}`;
    }

    use() {
        const set = this.sets[$('set-choice').selectedIndex];
        if (set) {
            this.rowList.setRows(set.rows);
            $('sets-message').textContent = `Using the set “${set.name}”.`;
        }
    }

    remove() {
        const index = $('set-choice').selectedIndex;
        const set = this.sets[index];
        if (set && confirm(`Do you want to delete '${set.name}'?`)) {
            this.sets.splice(index, 1);
            this.keep();
            this.render();
        }
    }

    save() {
        const name = this.core.storableName($('set-name').value);
        if (!name || this.rowList.rows.length === 0) {
            return;
        }
        const rows = this.rowList.rows.map((row) => ({...row}));
        const index = this.sets.findIndex((set) => set.name === name);
        if (index >= 0) {
            if (!confirm(`There is already a set named '${name}'.\n\nShould this set be overwritten?`)) {
                return;
            }
            this.sets[index].rows = rows;
        } else {
            this.sets.push({name, rows});
        }
        this.keep();
        this.render(index >= 0 ? index : this.sets.length - 1);
        $('sets-message').textContent = `Saved the set “${name}”.`;
    }

    fileBytes() {
        return this.core.writePitchList(this.sets);
    }

    downloadFile() {
        download(this.fileBytes(), 'vesksorvel.txt', 'text/plain');
    }

    keep() {
        try {
            localStorage.setItem(STORAGE_KEY, toBase64(this.fileBytes()));
        } catch {
            // No storage: the sets stay for this visit.
        }
    }

    render(choice = $('set-choice').selectedIndex) {
        const select = $('set-choice');
        select.replaceChildren(...this.sets.map((set, i) =>
            element('option', `${set.name} (${set.rows.length} row${set.rows.length === 1 ? '' : 's'})`,
                    {value: String(i)})));
        if (choice >= 0 && choice < this.sets.length) {
            select.selectedIndex = choice;
        }
        const chosen = this.sets.length > 0 && select.selectedIndex >= 0;
        $('use-set').disabled = !chosen;
        $('delete-set').disabled = !chosen;
        $('save-set').disabled = this.rowList.rows.length === 0 || $('set-name').value.trim() === '';
        $('download-sets').disabled = this.sets.length === 0;
    }
}
