// The instruction composer, the desktop's "Asseble Instruction" dialog: a
// right click on a disassembly row (or the context-menu key, Shift+F10, on
// the list) composes the instruction there from an opcode and three operand
// lists and writes it on Ok, as one undoable edit. The names, lists and
// rules all come from the core's instruction table.
const $ = (id) => document.getElementById(id);
const Slots = ['composer-op1', 'composer-op2', 'composer-op3'];

export class Composer {
  // app: the page's controller; done(words) after the dialog closed.
  constructor(app, done) {
    this.app = app;
    this.m = app.core.m;
    this.core = app.core;
    this.dialog = $('composer-dialog');
    this.lists = new Map();
    this.word = 0;
    this.address = 0;
    const opcode = $('composer-opcode');
    for (let op = 0; op < 16; ++op) opcode.add(new Option(this.core.textAt(this.m._orvik_composer_name(op)), op));
    opcode.addEventListener('change', () => this.show(this.m._orvik_composer_with_opcode(this.word, opcode.selectedIndex)));
    Slots.forEach((id, slot) => $(id).addEventListener('change', () => {
      this.show(this.m._orvik_composer_with_choice(this.word, slot, $(id).selectedIndex));
    }));
    this.dialog.addEventListener('close', () => {
      if (this.dialog.returnValue === 'ok') {
        const changed = this.m._orvik_compose(this.address, this.word) === 3;
        if (changed) app.setModified(true);
      }
      app.refresh();
      app.save();
      done('Ready');
    });
    $('disasm').addEventListener('contextmenu', (e) => {
      e.preventDefault();
      const row = e.target.closest('.row');
      // A click below the last row has no row and opens nothing; the key
      // composes at the selected row.
      if (row) app.disasm.select(Number(row.dataset.row));
      const address = app.disasm.selectedAddress();
      if ((row || e.button !== 2) && address >= 0) this.open(address);
    });
  }

  open(address) {
    if (this.app.running || this.dialog.open) return;
    this.address = address;
    this.show(this.m._orvik_composer_word(address));
    this.dialog.returnValue = '';
    this.dialog.showModal();
    $('composer-opcode').focus();
  }

  // The items of a list kind, from the core once.
  items(kind) {
    if (!this.lists.has(kind)) this.lists.set(kind, this.core.textAt(this.m._orvik_composer_choices(kind)).split('\n'));
    return this.lists.get(kind);
  }

  show(word) {
    this.word = word;
    $('composer-opcode').selectedIndex = word >> 12;
    Slots.forEach((id, slot) => {
      const box = $(id);
      const kind = this.m._orvik_composer_slot_choices(word, slot);
      if (box.dataset.kind !== String(kind)) {
        box.replaceChildren(...this.items(kind).map((text, i) => new Option(text, i)));
        box.dataset.kind = kind;
      }
      // "N/A" of an operand the instruction has not.
      box.disabled = kind === 0;
      box.selectedIndex = kind === 0 ? 0 : this.m._orvik_composer_slot_value(word, slot);
    });
  }
}
