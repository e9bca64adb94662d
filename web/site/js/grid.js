// A grid of hexadecimal cells like the desktop's hex grid: the current cell,
// a range selection (memory only), in-place editing limited to hex digits.
// The cells hold what the core holds; an edit goes back through onCommit.
// For screen readers it is an ARIA grid of rows of cells named as on the
// desktop ("memory 3F", "register R3") followed by the value they show, the
// current cell as the active descendant.

export function hexText(value, digits) { return (value >>> 0).toString(16).toUpperCase().padStart(digits, '0'); }

export class HexGrid {
  // options: cols, count, digits(i) (edit limit and shown digits),
  // onCommit(i, value), onCurrent(i), onSelection(lo, hi) (absent: no
  // range selection), canSelect(i), name(i) (the cell's accessible name).
  constructor(element, options) {
    this.el = element;
    this.o = options;
    this.values = new Array(options.count).fill(null);
    this.current = -1;
    this.anchor = -1;
    this.selLo = -1;
    this.selHi = -1;
    this.changed = -1;
    this.editor = null;
    this.cells = [];
    element.classList.add('hexgrid');
    element.style.gridTemplateColumns = `repeat(${options.cols}, auto)`;
    element.tabIndex = 0;
    element.setAttribute('role', 'grid');
    if (!options.onSelection) element.setAttribute('aria-multiselectable', 'false');
    let row = null;
    for (let i = 0; i < options.count; ++i) {
      if (i % options.cols === 0) {
        // Rows take no box of their own: the cells stay in the CSS grid.
        row = document.createElement('div');
        row.className = 'grid-row';
        row.setAttribute('role', 'row');
        element.appendChild(row);
      }
      const cell = document.createElement('div');
      cell.className = 'cell';
      cell.dataset.index = i;
      cell.id = `${element.id}-${i}`;
      cell.setAttribute('role', 'gridcell');
      cell.setAttribute('aria-selected', 'false');
      row.appendChild(cell);
      this.cells.push(cell);
    }
    element.addEventListener('mousedown', (e) => this.mouseDown(e));
    element.addEventListener('mouseover', (e) => {
      if (e.buttons === 1 && this.dragging) this.extendTo(this.indexAt(e));
    });
    document.addEventListener('mouseup', () => (this.dragging = false));
    element.addEventListener('dblclick', (e) => {
      const i = this.indexAt(e);
      if (i >= 0) this.openEditor('');
    });
    element.addEventListener('keydown', (e) => this.keyDown(e));
  }

  indexAt(e) {
    const cell = e.target.closest('.cell');
    return cell && this.el.contains(cell) ? Number(cell.dataset.index) : -1;
  }

  // Shows values; a cell whose value differs from the last call becomes the
  // most recently changed one (drawn bold red) when markChanges is set.
  update(values, markChanges) {
    for (let i = 0; i < values.length; ++i) {
      if (this.values[i] === values[i]) continue;
      if (markChanges && this.values[i] !== null) this.setChanged(i);
      this.values[i] = values[i];
      if (!this.editor || this.editor.index !== i) this.show(i);
    }
  }

  // A value out of the cell's range shows all its digits, as on the desktop.
  show(i) {
    const value = this.values[i] ?? 0;
    const text = hexText(value, value < 0 || value > 0xffff ? 8 : this.o.digits(i));
    this.cells[i].textContent = text;
    if (this.o.name) this.cells[i].setAttribute('aria-label', `${this.o.name(i)}, ${text}`);
  }

  setChanged(i) {
    // The same cell again (a counter every frame): its class stays, and the
    // browser has no style to work out again.
    if (i === this.changed) return;
    if (this.changed >= 0) this.cells[this.changed].classList.remove('changed');
    this.changed = i;
    if (i >= 0) this.cells[i].classList.add('changed');
  }

  setCurrent(i) {
    if (i < 0 || (this.o.canSelect && !this.o.canSelect(i))) return false;
    this.commitEditor();
    if (this.current >= 0) this.cells[this.current].classList.remove('current');
    this.current = i;
    this.cells[i].classList.add('current');
    this.el.setAttribute('aria-activedescendant', this.cells[i].id);
    this.cells[i].scrollIntoView({block: 'nearest'});
    if (this.o.onCurrent) this.o.onCurrent(i);
    return true;
  }

  setSelection(lo, hi) {
    if (!this.o.onSelection) return;
    for (let i = 0; i < this.cells.length; ++i) {
      const selected = lo >= 0 && i >= lo && i <= hi;
      this.cells[i].classList.toggle('selected', selected);
      this.cells[i].setAttribute('aria-selected', String(selected));
    }
    this.selLo = lo;
    this.selHi = hi;
    this.o.onSelection(lo, hi);
  }

  extendTo(i) {
    if (i < 0 || !this.setCurrent(i)) return;
    if (this.anchor < 0) this.anchor = i;
    this.setSelection(Math.min(this.anchor, i), Math.max(this.anchor, i));
  }

  mouseDown(e) {
    if (e.button !== 0) return;
    const i = this.indexAt(e);
    if (i < 0 || (this.editor && this.editor.index === i)) return;
    e.preventDefault();
    this.el.focus();
    if (e.shiftKey && this.current >= 0) {
      this.extendTo(i);
      return;
    }
    if (!this.setCurrent(i)) return;
    this.anchor = i;
    this.dragging = true;
    this.setSelection(i, i);
  }

  keyDown(e) {
    if (this.editor) return;
    const cols = this.o.cols;
    const moves = {ArrowLeft: -1, ArrowRight: 1, ArrowUp: -cols, ArrowDown: cols};
    if (e.key in moves) {
      e.preventDefault();
      const next = Math.min(Math.max(this.current + moves[e.key], 0), this.cells.length - 1);
      if (e.shiftKey && this.o.onSelection)
        this.extendTo(next);
      else if (this.setCurrent(next)) {
        this.anchor = next;
        this.setSelection(next, next);
      }
    } else if (/^[0-9a-fA-F]$/.test(e.key) && !e.ctrlKey && !e.metaKey && !e.altKey && this.current >= 0) {
      e.preventDefault();
      this.openEditor(e.key.toUpperCase());
    } else if ((e.key === 'Enter' || e.key === 'F2') && !e.ctrlKey && this.current >= 0) {
      e.preventDefault();
      this.openEditor('');
    } else if (e.key === 'Delete' && this.o.onDelete) {
      e.preventDefault();
      this.o.onDelete(this.selLo, this.selHi);
    }
  }

  // The in-place editor: hex digits up to the cell's limit; Enter, a click
  // elsewhere or an arrow key stores the value, Escape drops it.
  openEditor(text) {
    if (this.current < 0 || this.editor) return;
    const index = this.current;
    const cell = this.cells[index];
    const input = document.createElement('input');
    input.className = 'cell-editor';
    input.maxLength = Math.max(this.o.digits(index), text.length, 1);
    input.value = text || cell.textContent;
    input.spellcheck = false;
    this.editor = {index, input};
    cell.textContent = '';
    cell.appendChild(input);
    input.focus();
    if (!text) input.select();
    input.addEventListener('input', () => {
      input.value = input.value.replace(/[^0-9a-fA-F]/g, '').toUpperCase();
    });
    input.addEventListener('keydown', (e) => {
      e.stopPropagation();
      if (e.key === 'Escape')
        this.closeEditor(false);
      else if (e.key === 'Enter')
        this.closeEditor(true);
      else if (e.key.startsWith('Arrow') && (e.key === 'ArrowUp' || e.key === 'ArrowDown')) {
        this.closeEditor(true);
        this.keyDown(e);
      } else
        return;
      e.preventDefault();
    });
    input.addEventListener('blur', () => this.closeEditor(true));
  }

  commitEditor() {
    if (this.editor) this.closeEditor(true);
  }

  closeEditor(store) {
    const editor = this.editor;
    if (!editor) return;
    this.editor = null;
    const text = editor.input.value;
    editor.input.remove();
    this.show(editor.index);
    if (store && text !== '') this.o.onCommit(editor.index, parseInt(text, 16));
    this.el.focus();
  }
}
