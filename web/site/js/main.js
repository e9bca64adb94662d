// The page's controller: builds the views over the WebAssembly core, wires
// the commands to them, and keeps the page's state in the browser's storage.
import {OrvikCore} from './core.js';
import {askClear, askWhenFree, ask} from './dialogs.js';
import {DisasmList} from './disasm.js';
import {setProperty} from './dom.js';
import {Documents} from './documents.js';
import {AsmEditor, textToBytes} from './editor.js';
import {download} from './files.js';
import {HexGrid, hexText} from './grid.js';
import {SourceGutter} from './gutter.js';
import {installKeys} from './keys.js';
import {Runner} from './runner.js';
import {Black, Red, setStatus, showSelection} from './status.js';
import {Store} from './store.js';
import {TerminalView} from './terminal.js';
import {initDrop} from './drop.js';
import {ExercisePane, initExercises} from './exercise.js';
import {initHelp} from './help.js';
import {initOffline} from './offline.js';
import {RecentFiles} from './recent.js';
import {initShare} from './share.js';
import {initTheme} from './theme.js';
import {Tools} from './tools.js';

const $ = (id) => document.getElementById(id);
// The answers when another tab wrote the source; the last is Escape's, which
// loses nothing: the other tab is asked in turn.
const TakeOther = 'Take the other tab\'s';
const KeepMine = 'Keep this tab\'s';

class Simulator {
  constructor(core) {
    this.core = core;
    this.store = new Store(localStorage, () => this.sourceConflict());
    this.conflict = false;
    this.modified = false;
    this.runner = new Runner(core, this);
    this.docs = new Documents(core, this);
    this.exercise = new ExercisePane(core, this);

    this.memory = new HexGrid($('memory'), {
      cols: 16,
      count: 256,
      digits: () => 2,
      name: (i) => `memory ${hexText(i, 2)}`,
      onCommit: (i, value) => this.editCell(i, value),
      onCurrent: (i) => ($('status-address').textContent = `Address: ${i}`),
      onSelection: (lo, hi) => showSelection(lo, hi),
      onDelete: (lo, hi) => this.clearMemory(lo, hi),
    });
    this.registers = new HexGrid($('registers'), {
      cols: 1,
      count: 16,
      digits: () => 2,
      name: (i) => `register R${hexText(i, 1)}`,
      onCommit: (i, value) => {
        core.setRegister(i, value);
        this.refresh();
      },
      // Del clears R0..RF in ascending order; RF's write outputs a 0 byte.
      onDelete: () => {
        core.clearRegisters();
        this.refresh();
      },
    });
    this.sysregs = new HexGrid($('sysregs'), {
      cols: 1,
      count: 2,
      digits: (i) => (i === 0 ? 2 : 4),
      canSelect: (i) => i === 0,
      name: (i) => (i === 0 ? 'register PC' : 'register IR'),
      onCommit: (i, value) => {
        core.setPC(value);
        this.refresh();
      },
    });
    this.disasm = new DisasmList(
        core,
        $('disasm'),
        (address) => {
          core.setPC(address);
          this.refresh();
        },
        (address) => {
          core.setBreakpoint(address, !core.breakpoint(address));
          this.store.saveBreakpoints(core);
          this.refresh();
        },
    );
    this.terminal = new TerminalView(core, $('output'));
    this.editor = new AsmEditor(
        core,
        {
          area: $('source'),
          layer: $('highlight'),
          errors: $('error-list'),
          next: $('error-next'),
          previous: $('error-previous'),
        },
        (message) => ask(message, ['OK']),
        () => {
          this.docs.sourceEdited();
          this.store.saveSourceSoon(this.editor.text);
          this.exercise.sourceEdited(this.editor.text);
        },
    );
    this.gutter = new SourceGutter(core, $('source').parentElement, $('source'), () => {
      this.store.saveBreakpoints(core);
      this.refresh();
    });
    this.editor.onReplace = () => this.gutter.reset();
    this.captions();
    this.wire();
    // The terminal has its size before a reload gives its text back.
    this.terminal.measure();
    this.restore();
    new ResizeObserver(() => this.terminal.measure()).observe($('output'));
    this.refresh(true);
  }

  // Instructions executed by runs so far (the bench reads it).
  get instructions() { return this.runner.instructions; }
  get running() { return this.runner.running; }

  captions() {
    $('mem-cols').innerHTML = [...Array(16).keys()].map((n) => `<div>..${hexText(n, 1)}</div>`).join('');
    $('mem-rows').innerHTML = [...Array(16).keys()].map((n) => `<div>${hexText(n, 1)}0</div>`).join('');
    $('reg-rows').innerHTML = [...Array(16).keys()].map((n) => `<div>R${hexText(n, 1)}</div>`).join('');
  }

  wire() {
    const runner = this.runner;
    const docs = this.docs;
    $('run').addEventListener('click', () => runner.run());
    $('step').addEventListener('click', () => runner.step());
    $('step-back').addEventListener('click', () => runner.stepBack());
    $('break').addEventListener('click', () => runner.stop('Ready', Black));
    $('clear').addEventListener('click', () => this.clearDialog());
    $('undo').addEventListener('click', () => runner.undo(false));
    $('remove-breakpoints').addEventListener('click', () => {
      this.core.removeBreakpoints();
      this.store.saveBreakpoints(this.core);
      this.refresh();
    });
    $('redo').addEventListener('click', () => runner.undo(true));
    $('zero-pc').addEventListener('click', () => {
      this.core.setPC(0);
      this.refresh();
    });
    $('open').addEventListener('click', () => docs.open());
    $('save').addEventListener('click', () => docs.saveProgram(docs.fileName || 'program.prg'));
    $('save-as').addEventListener('click', () => docs.saveProgramAs());
    $('listing').addEventListener('click', () => download('listing.txt', this.core.listing()));
    $('speed').addEventListener('change', () => {
      runner.restartPacing();
      this.store.saveSpeed($('speed').value);
    });
    $('assemble').addEventListener('click', () => docs.assemble());
    $('asm-open').addEventListener('click', () => docs.openSource());
    $('asm-save').addEventListener('click', () => docs.saveSource());
    $('example-hello').addEventListener('click', () => docs.example('examples/hello.asm'));
    $('example-output').addEventListener('click', () => docs.example('examples/outputtest.asm'));
    $('run-to-row').addEventListener('click', () => runner.runTo(this.disasm.selectedAddress()));
    installKeys({
      running: () => runner.running,
      assemble: () => docs.assemble(),
      runToRow: () => $('run-to-row').click(),
      openSource: () => docs.openSource(),
      saveSource: () => docs.saveSource(),
    });
    addEventListener('pagehide', () => this.persist());
    addEventListener('visibilitychange', () => this.persist());
    addEventListener('storage', (e) => {
      if (this.store.changedElsewhere(e, this.editor.text)) this.sourceConflict();
    });
  }

  restore() {
    const saved = this.store.load();
    if (saved.memory) this.core.loadCells(saved.memory);
    if (saved.registers) {
      saved.registers.registers.forEach((value, n) => this.core.setRegister(n, value));
      this.core.setPC(saved.registers.pc);
    }
    // After the registers: restoring RF writes a byte, which the terminal's
    // own text replaces.
    if (saved.terminal !== undefined) this.core.restoreTerminal(textToBytes(saved.terminal));
    if (saved.breakpoints)
      for (const adr of saved.breakpoints) this.core.setBreakpoint(adr, true);
    if (saved.speed) $('speed').value = saved.speed;
    this.editor.setText(saved.source ?? '');
    this.setModified(!!saved.modified);
    this.docs.restoreNames(saved.names);
  }

  // Another tab wrote a newer source than this tab's copy: neither replaces
  // the other unasked.
  async sourceConflict() {
    if (this.conflict) return;
    this.conflict = true;
    const answer =
        await askWhenFree('The source was changed in another tab.\nWhich one do you want to keep?', [TakeOther, KeepMine]);
    this.conflict = false;
    if (answer === TakeOther) {
      this.editor.setText(this.store.takeSource());
      this.editor.setErrors([]);
      this.docs.sourceModified = true;
      this.docs.saveNames();
    } else
      this.store.writeSource(this.editor.text);
  }

  persist() {
    this.save();
    this.store.saveSource(this.editor.text);
  }

  // Memory, registers and terminal into the browser's storage.
  save() { this.store.saveMemory(this.core, this.modified); }

  setModified(flag) {
    this.modified = flag;
    $('save').disabled = !flag;
    $('status-modified').textContent = flag ? 'Modified' : '';
  }

  // --- views
  refresh(follow = false) {
    const core = this.core;
    const cells = new Array(256);
    for (let adr = 0; adr < 256; ++adr) cells[adr] = core.cell(adr);
    const registers = new Array(16);
    for (let n = 0; n < 16; ++n) registers[n] = core.register(n);
    this.memory.update(cells, true);
    this.registers.update(registers, true);
    this.sysregs.update([core.pc(), core.ir()], true);
    this.disasm.update(follow, cells);
    this.gutter.paint();
    this.terminal.paint();
    setProperty($('trace'), 'textContent', core.trace());
    setProperty($('step-back'), 'disabled', this.runner.running || !core.canStepBack());
    this.tools?.paint();
  }

  // --- editing memory
  editCell(adr, value) {
    const old = this.core.cell(adr);
    this.core.setCell(adr, value);
    if (old !== value) this.setModified(true);
    this.refresh();
    this.save();
  }

  clearMemory(lo, hi) {
    const from = lo < 0 ? 0 : lo;
    const to = lo < 0 ? 255 : hi;
    let changed = false;
    for (let adr = from; adr <= to; ++adr) changed ||= this.core.cell(adr) !== 0;
    this.core.clearMemory(from, to);
    if (changed) this.setModified(true);
    this.refresh();
    this.save();
  }

  clearDialog() {
    askClear((what) => {
      if (what) {
        if (what.memory) {
          this.core.clearMemory(0, 255);
          this.setModified(false);
        }
        if (what.registers) this.core.clearRegisters();
        if (what.pc) this.core.setPC(0);
        this.refresh();
        // A cleared memory shows no last-changed cell.
        if (what.memory) this.memory.setChanged(-1);
        this.save();
        setStatus('Ready', Black);
      }
      // Cancelled: the status still tells how the last run ended.
    });
  }
}

initTheme($('theme'));
// The module index.html began compiling; the core only instantiates it.
let core;
try {
  const wasm = await globalThis.orvikWasm;
  // Without the page's head (an older copy of it), the core fetches itself.
  core = await OrvikCore.create(globalThis.createOrvikCore, wasm ? {
    instantiateWasm: (imports, receive) => {
      WebAssembly.instantiate(wasm, imports).then((instance) => receive(instance, wasm));
      return {};
    },
  } : {});
} catch (error) {
  setStatus(`The simulator could not be loaded: ${error.message}`, Red);
  throw error;
} finally {
  // Shown from the first layout on, which the views are built for (see
  // index.html), or with the message why they are not.
  document.documentElement.classList.remove('loading');
}
window.orvik = new Simulator(core);
initOffline();
initShare(window.orvik, $('share'));
initDrop(window.orvik.docs);
initHelp($('help-dialog'), $('help'));
window.orvik.docs.recent = new RecentFiles(window.orvik.docs, $('recent'));
initExercises(window.orvik.exercise);
window.orvik.tools = new Tools(window.orvik);
window.orvik.refresh();
// Every command is wired: the page answers input from here on.
document.body.dataset.ready = 'true';
performance.mark('orvik-interactive');
