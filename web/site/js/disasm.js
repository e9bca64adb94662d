// The disassembly list: 128 rows in the alignment of PC, the PC row
// highlighted as the fourth visible row, a breakpoint gutter. Every text is
// the core's disassembler line; after an Assemble, the labels of the source
// beside the rows they mark and the target label of a jump in its title.

export class DisasmList {
  // onSetPC(address) for a double click; onBreakpoint(address) for a click
  // in the gutter.
  constructor(core, element, onSetPC, onBreakpoint) {
    this.core = core;
    this.el = element;
    this.rows = [];
    this.texts = new Array(128).fill(null);
    this.marks = new Array(128).fill(false);
    this.parity = -1;
    this.pcRow = -1;
    for (let k = 0; k < 128; ++k) {
      const row = document.createElement('div');
      row.className = 'row';
      row.dataset.row = k;
      row.innerHTML = '<span class="gutter" title="Breakpoint"></span><span class="label"></span><span class="text"></span>';
      element.appendChild(row);
      this.rows.push(row);
    }
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
  }

  address(row) { return (2 * row + this.parity) & 0xff; }

  select(row) { this.rows.forEach((r, k) => r.classList.toggle('selected', k === row)); }

  // The label column appears only when the program came from a source with
  // labels, as wide as its longest name.
  labelColumn() {
    let width = 0;
    for (let adr = 0; adr < 256; ++adr) width = Math.max(width, this.core.labelAt(adr).length);
    this.el.style.setProperty('--label-width', width ? `${width + 2}ch` : '0');
  }

  // Brings every row up to date; scrolls when PC moved or `follow` is set
  // (also after a new program, whose labels are read again).
  update(follow) {
    if (follow) this.labelColumn();
    const pc = this.core.pc() & 0xff;
    const parity = pc & 1;
    const realigned = parity !== this.parity;
    this.parity = parity;
    for (let k = 0; k < 128; ++k) {
      const address = this.address(k);
      const text = this.core.disasm(address);
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
      }
      const mark = this.core.breakpoint(address);
      if (realigned || mark !== this.marks[k]) {
        this.marks[k] = mark;
        this.rows[k].classList.toggle('breakpoint', mark);
      }
    }
    const pcRow = pc >> 1;
    if (pcRow !== this.pcRow || realigned || follow) {
      this.pcRow = pcRow;
      this.select(pcRow);
      const height = this.rows[0].offsetHeight || 13;
      this.el.scrollTop = Math.max(pcRow - 3, 0) * height;
    }
  }
}
