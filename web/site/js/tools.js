// The desktop's debugging tools on the page: the value panel and the cells'
// tooltips, Back to start of run, Break here and Stop when written (the
// desktop's grid pop-up items, here buttons), Cut/Copy/Paste of memory
// ranges (Ctrl+X, Ctrl+C, Ctrl+V in the memory grid), the trace pane and
// the instruction composer. The words and rules are the core's.
import {Composer} from './composer.js';
import {CoreTools} from './coretools.js';
import {ask} from './dialogs.js';
import {setAttribute, setProperty} from './dom.js';
import {Black, Red, setStatus} from './status.js';
import {TracePane} from './trace.js';
import {LineNumbers} from './linenumbers.js';

const $ = (id) => document.getElementById(id);

export class Tools {
  // app: the page's controller (its core, grids, runner, store, refresh()).
  constructor(app) {
    this.app = app;
    this.core = new CoreTools(app.core);
    // The grid the tools act on: the memory, or the registers ("Stop when
    // written"); the value panel reads its current cell.
    this.registers = false;
    this.trace = new TracePane(this.core, $('trace-pane'), $('trace-toggle'));
    this.composer = new Composer(app, (words) => setStatus(words, Black));
    this.numbers = new LineNumbers($('source').parentElement, $('source'), () => app.gutter.buttons.length);
    for (const [id, registers] of [['memory', false], ['registers', true]]) {
      const grid = $(id);
      grid.addEventListener('focusin', () => this.inspect(registers));
      // The tooltip reads the cell's value when the mouse rests on it.
      grid.addEventListener('mouseover', (e) => {
        const cell = e.target.closest('.cell');
        if (cell) cell.title = this.core.readings(registers, Number(cell.dataset.index));
      });
      new MutationObserver(() => this.inspect(registers))
          .observe(grid, {attributes: true, attributeFilter: ['aria-activedescendant']});
    }
    $('memory').addEventListener('keydown', (e) => this.clipboardKey(e));
    $('back-to-start').addEventListener('click', () => this.backToStart());
    $('break-here').addEventListener('click', () => this.breakHere());
    $('watch').addEventListener('click', () => this.watch());
    $('cut').addEventListener('click', () => this.cut());
    $('copy').addEventListener('click', () => this.copy());
    $('paste').addEventListener('click', () => this.paste());
  }

  grid() { return this.registers ? this.app.registers : this.app.memory; }

  inspect(registers) {
    this.registers = registers;
    this.paint();
  }

  // After anything that may change a value, a breakpoint, a watch or the
  // trace (the page's refresh).
  paint() {
    const current = this.grid().current;
    const memory = this.app.memory.current;
    // Called every frame while a program runs: each write is made only when
    // it changes something.
    const panel = $('value-panel');
    // Hidden until a cell is chosen, as on the desktop.
    setProperty(panel, 'hidden', current < 0);
    if (current >= 0) setProperty(panel, 'textContent', this.core.readings(this.registers, current));
    setProperty($('break-here'), 'disabled', this.registers || memory < 0);
    setAttribute($('break-here'), 'aria-pressed', String(memory >= 0 && this.app.core.breakpoint(memory)));
    setProperty($('watch'), 'disabled', current < 0);
    setAttribute($('watch'), 'aria-pressed', String(current >= 0 && this.core.watched(this.registers, current)));
    // A run changes no watch: the marks are left alone while it goes.
    if (!this.app.running) {
      this.app.memory.cells.forEach((cell, adr) => cell.classList.toggle('watched', this.core.watched(false, adr)));
      this.app.registers.cells.forEach((cell, n) => cell.classList.toggle('watched', this.core.watched(true, n)));
      // Between runs the instructions run too fast for a line each are counted.
      this.core.traceCatchUp();
    }
    this.trace.paint();
    this.numbers.paint();
  }

  done(words, ok = true) {
    this.app.refresh();
    this.app.save();
    setStatus(words, ok ? Black : Red);
  }

  backToStart() {
    // Going back ends a run, as Break would.
    if (this.app.running) this.app.runner.stop('Ready', Black);
    const undone = this.core.backToStart();
    this.done(this.core.words(), undone > 0);
  }

  breakHere() {
    const adr = this.app.memory.current;
    if (adr < 0) return;
    this.core.toggleBreakpoint(adr);
    this.app.store.saveBreakpoints(this.app.core);
    this.done(this.core.words());
  }

  watch() {
    const adr = this.grid().current;
    if (adr < 0) return;
    this.core.toggleWatch(this.registers, adr);
    this.done(this.core.words());
  }

  // A program file was opened: its lines start a section of the trace.
  opened(name) { this.core.traceOpened(name); }

  selection() { return [this.app.memory.selLo, this.app.memory.selHi]; }

  copy() { this.core.copy(...this.selection()); }

  cut() { this.edited(this.core.cut(...this.selection())); }

  paste() {
    const result = this.core.paste(...this.selection());
    if (!result.done) {
      ask(this.core.words(), ['OK'], 'Error');
      return;
    }
    this.edited(result);
  }

  edited({done, memoryChanged}) {
    if (!done) return;
    if (memoryChanged) this.app.setModified(true);
    this.app.refresh();
    this.app.save();
  }

  clipboardKey(e) {
    if (!e.ctrlKey || e.altKey || e.shiftKey || e.metaKey || this.app.memory.editor) return;
    const command = {x: () => this.cut(), c: () => this.copy(), v: () => this.paste()}[e.key.toLowerCase()];
    if (!command) return;
    e.preventDefault();
    command();
  }
}
