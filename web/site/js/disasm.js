// The disassembly list: 128 rows in the alignment of PC, the PC row
// highlighted as the fourth visible row, a breakpoint gutter. Every text is
// the core's disassembler line; after an Assemble, the labels of the source
// beside the rows they mark and the target label of a jump in its title.
// For the keyboard and screen readers it is a listbox: the arrows move the
// selected row, F2 or Space sets or clears its breakpoint, and the PC row
// says "program counter".

export class DisasmList {
  // onSetPC(address) for a double click; onBreakpoint(address) for a click
  // in the gutter, F2 or Space.
  constructor(core, element, onSetPC, onBreakpoint) {
    this.core = core;
    this.el = element;
    this.rows = [];
    this.texts = new Array(128).fill(null);
    // The two bytes each row was disassembled from: a row whose bytes are
    // the same needs no new text (the labels change only with the program,
    // which comes with `follow`).
    this.firsts = new Array(128).fill(null);
    this.seconds = new Array(128).fill(null);
    this.marks = new Array(128).fill(false);
    this.parity = -1;
    this.pcRow = -1;
    this.selected = -1;
    element.setAttribute('role', 'listbox');
    element.setAttribute('aria-label', 'Disassembly');
    for (let k = 0; k < 128; ++k) {
      const row = document.createElement('div');
      row.className = 'row';
      row.id = `disasm-row-${k}`;
      row.dataset.row = k;
      row.setAttribute('role', 'option');
      row.setAttribute('aria-selected', 'false');
      row.innerHTML = '<span class="gutter" title="Breakpoint"></span><span class="label"></span><span class="text"></span>';
      element.appendChild(row);
      this.rows.push(row);
    }
    // The row height and where the list is scrolled, kept so that following
    // PC every frame of a run neither reads nor writes the layout when it
    // need not (each read after the frame's writes makes the browser lay out
    // the page again). The height changes with zoom, font size and the
    // narrow layout, all of which resize the row.
    this.rowHeight = 0;
    new ResizeObserver(() => {
      this.rowHeight = 0;
      // The PC row stays fourth from the top when the rows change height.
      if (this.wanted !== null && this.pcRow > 3) this.scrollToPC();
    }).observe(this.rows[0]);
    // wanted: the scroll position PC last asked for (null after the student
    // scrolled elsewhere); written: where the list then was (the browser
    // keeps a position past the end at the end).
    this.wanted = 0;
    this.written = 0;
    element.addEventListener('scroll', () => {
      if (element.scrollTop !== this.written) this.wanted = null;
    }, {passive: true});
    element.addEventListener('click', (e) => {
      const row = e.target.closest('.row');
      if (!row) return;
      const address = this.address(Number(row.dataset.row));
      if (e.target.classList.contains('gutter'))
        onBreakpoint(address);
      else
        this.select(Number(row.dataset.row));
    });
    element.addEventListener('dblclick', (e) => {
      const row = e.target.closest('.row');
      if (row && !e.target.classList.contains('gutter')) onSetPC(this.address(Number(row.dataset.row)));
    });
    element.addEventListener('keydown', (e) => {
      if (e.ctrlKey || e.altKey || e.metaKey) return;
      const page = Math.max(Math.floor(element.clientHeight / (this.rows[0].offsetHeight || 14)), 1);
      const moves = {ArrowUp: -1, ArrowDown: 1, PageUp: -page, PageDown: page};
      let row = this.selected;
      if (e.key in moves)
        row = Math.min(Math.max(row + moves[e.key], 0), 127);
      else if (e.key === 'Home')
        row = 0;
      else if (e.key === 'End')
        row = 127;
      else if ((e.key === 'F2' || e.key === ' ') && !e.shiftKey) {
        e.preventDefault();
        if (this.selected >= 0) onBreakpoint(this.address(this.selected));
        return;
      } else
        return;
      e.preventDefault();
      this.select(row);
      this.rows[row].scrollIntoView({block: 'nearest'});
    });
  }

  address(row) { return (2 * row + this.parity) & 0xff; }

  // The selected row's address, -1 when none is selected.
  selectedAddress() { return this.selected < 0 ? -1 : this.address(this.selected); }

  select(row) {
    this.selected = row;
    this.rows.forEach((r, k) => {
      r.classList.toggle('selected', k === row);
      r.setAttribute('aria-selected', String(k === row));
    });
    if (row >= 0)
      this.el.setAttribute('aria-activedescendant', this.rows[row].id);
    else
      this.el.removeAttribute('aria-activedescendant');
  }

  // The label column appears only when the program came from a source with
  // labels, as wide as its longest name.
  labelColumn() {
    let width = 0;
    for (let adr = 0; adr < 256; ++adr) width = Math.max(width, this.core.labelAt(adr).length);
    this.el.style.setProperty('--label-width', width ? `${width + 2}ch` : '0');
  }

  // What a screen reader says of a row: its text, then its breakpoint and
  // whether PC is on it.
  name(k) {
    const row = this.rows[k];
    const parts = [row.children[1].textContent + ' ' + this.texts[k]];
    if (this.marks[k]) parts.push('breakpoint');
    if (k === this.pcRow) parts.push('program counter');
    row.setAttribute('aria-label', parts.join(', ').trim());
  }

  // Brings every row up to date; scrolls when PC moved or `follow` is set
  // (also after a new program, whose labels are read again). cells: memory
  // as the caller just read it, or read here.
  update(follow, cells = null) {
    const cell = cells ? (adr) => cells[adr] : (adr) => this.core.cell(adr);
    if (follow) this.labelColumn();
    const pc = this.core.pc() & 0xff;
    const parity = pc & 1;
    const realigned = parity !== this.parity;
    this.parity = parity;
    const pcRow = pc >> 1;
    const oldPcRow = this.pcRow;
    const moved = pcRow !== this.pcRow || realigned || follow;
    this.pcRow = pcRow;
    for (let k = 0; k < 128; ++k) {
      const address = this.address(k);
      const first = cell(address);
      const second = cell((address + 1) & 0xff);
      let named = false;
      const fresh = realigned || follow || first !== this.firsts[k] || second !== this.seconds[k];
      this.firsts[k] = first;
      this.seconds[k] = second;
      const text = fresh ? this.core.disasm(address) : this.texts[k];
      if (realigned || follow || text !== this.texts[k]) {
        this.texts[k] = text;
        this.rows[k].lastElementChild.textContent = text;
        const label = this.core.labelAt(address);
        this.rows[k].children[1].textContent = label ? `${label}:` : '';
        const target = this.core.jumpTargetLabel(address);
        if (target)
          this.rows[k].title = `Jumps to ${target}`;
        else
          this.rows[k].removeAttribute('title');
        named = true;
      }
      const mark = this.core.breakpoint(address);
      if (realigned || mark !== this.marks[k]) {
        this.marks[k] = mark;
        this.rows[k].classList.toggle('breakpoint', mark);
        named = true;
      }
      if (named || (moved && (k === pcRow || k === oldPcRow))) this.name(k);
    }
    if (moved) {
      this.rows.forEach((r, k) => r.classList.toggle('pc', k === pcRow));
      this.select(pcRow);
      this.scrollToPC();
    }
  }

  scrollToPC() {
    const pcRow = this.pcRow;
    if (pcRow > 3 && !this.rowHeight) this.rowHeight = this.rows[0].offsetHeight || 13;
    const top = pcRow > 3 ? (pcRow - 3) * this.rowHeight : 0;
    if (top !== this.wanted) {
      this.el.scrollTop = this.wanted = top;
      this.written = this.el.scrollTop;
    }
  }
}
