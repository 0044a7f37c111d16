// rows: the row list as the plug-in's dialog shows it: From, To and Direction fields, Add, Add
// Inverse, Update, Delete, moving rows, a tick per row. The core checks the fields and makes
// every edit (core.editRows, with the dialog's messages); this module draws the list and moves
// the focus to the field the core names.
import {$, element} from './util.js';

const DIRECTION_NAMES = {up: 'Up', down: 'Down', closest: 'Closest'};

export class RowList {
    constructor(core, onChange) {
        this.core = core;
        this.onChange = onChange;
        this.rows = [];
        this.selected = -1;
        $('add-row').addEventListener('click', () => this.edit('add'));
        $('add-inverse').addEventListener('click', () => this.edit('addInverse'));
        $('update-row').addEventListener('click', () => this.edit('update'));
        $('delete-row').addEventListener('click', () => this.remove());
        $('row-up').addEventListener('click', () => this.move(-1));
        $('row-down').addEventListener('click', () => this.move(1));
        for (const id of ['from-field', 'to-field']) {
            $(id).addEventListener('keydown', (event) => {
                if (event.key === 'Enter') {
                    this.edit('add');
                }
            });
        }
    }

    fields() {
        return {from: $('from-field').value, to: $('to-field').value,
                direction: $('direction-field').value};
    }

    clearAlerts() {
        for (const id of ['from-error', 'to-error', 'row-alert']) {
            $(id).textContent = '';
        }
        $('from-field').removeAttribute('aria-invalid');
        $('to-field').removeAttribute('aria-invalid');
    }

    // showAlert shows the core's message next to the field it names and moves the focus there.
    showAlert(alert) {
        if (alert.field) {
            const field = $(`${alert.field}-field`);
            $(`${alert.field}-error`).textContent = alert.message;
            field.setAttribute('aria-invalid', 'true');
            field.focus();
            field.select();
        } else {
            $('row-alert').textContent = `${alert.title}: ${alert.message}`;
        }
    }

    edit(action) {
        this.clearAlerts();
        const result = this.core.editRows(action, this.rows, this.selected, this.fields());
        if (result.alert) {
            this.showAlert(result.alert);
            return;
        }
        this.rows = result.rows;
        this.selected = result.selected;
        this.render();
    }

    remove() {
        if (this.selected < 0) {
            return;
        }
        this.rows.splice(this.selected, 1);
        this.selected = -1;
        this.render();
    }

    move(step) {
        const to = this.selected + step;
        if (this.selected < 0 || to < 0 || to >= this.rows.length) {
            return;
        }
        [this.rows[this.selected], this.rows[to]] = [this.rows[to], this.rows[this.selected]];
        this.selected = to;
        this.render();
    }

    select(index) {
        this.selected = index;
        const row = this.rows[index];
        $('from-field').value = row.from;
        $('to-field').value = row.to;
        $('direction-field').value = row.direction;
        this.render();
    }

    setRows(rows) {
        this.rows = rows.map((row) => ({...row}));
        this.selected = -1;
        this.render();
    }

    render() {
        const body = $('row-table').querySelector('tbody');
        body.replaceChildren();
        this.rows.forEach((row, index) => {
            const line = element('tr');
            line.classList.toggle('selected', index === this.selected);
            line.setAttribute('aria-selected', String(index === this.selected));
            const tick = element('input', undefined, {
                type: 'checkbox',
                'aria-label': `Use row ${index + 1}, ${row.from} to ${row.to}`,
            });
            tick.checked = row.ticked;
            tick.addEventListener('change', () => {
                row.ticked = tick.checked;
                this.onChange();
            });
            const cell = element('td');
            cell.append(tick);
            const choose = element('button', row.from, {
                type: 'button', class: 'link',
                'aria-label': `Select row ${index + 1}, ${row.from} to ${row.to}`,
            });
            choose.addEventListener('click', () => this.select(index));
            const from = element('td');
            from.append(choose);
            line.append(cell, from, element('td', row.to),
                        element('td', DIRECTION_NAMES[row.direction] || row.direction));
            body.append(line);
        });
        const chosen = this.selected >= 0;
        $('update-row').disabled = !chosen;
        $('delete-row').disabled = !chosen;
        $('row-up').disabled = !chosen || this.selected === 0;
        $('row-down').disabled = !chosen || this.selected === this.rows.length - 1;
        this.onChange();
    }
}
