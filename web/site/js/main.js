// The page's controller: wires the views to the WebAssembly core and runs
// programs in requestAnimationFrame slices so the page stays responsive.
import {bytesToString, OrvikCore, StopBudget, StopHalt, StopInvalid} from './core.js';
import {DisasmList} from './disasm.js';
import {AsmEditor, textToBytes} from './editor.js';
import {download, pickFile} from './files.js';
import {HexGrid, hexText} from './grid.js';
import {Store} from './store.js';
import {TerminalView} from './terminal.js';
import {initDrop} from './drop.js';
import {initHelp} from './help.js';
import {initOffline} from './offline.js';
import {RecentFiles} from './recent.js';
import {initShare} from './share.js';
import {initTheme} from './theme.js';

const $ = (id) => document.getElementById(id);
// The status colours of style.css: the desktop's, made readable on the
// light or dark ground the page shows.
const Black = 'var(--status-black)';
const Green = 'var(--status-green)';
const Red = 'var(--status-red)';
const Blue = 'var(--status-blue)';
// Of each frame at Max speed the run takes this long; the rest is left to
// painting and input.
const SliceMs = 12;
// The answers when another tab wrote the source; the last is Escape's, which
// loses nothing: the other tab is asked in turn.
const TakeOther = 'Take the other tab\'s';
const KeepMine = 'Keep this tab\'s';

class Simulator {
  constructor(core) {
    this.core = core;
    this.store = new Store(localStorage, () => this.sourceConflict());
    this.conflict = false;
    this.running = false;
    this.modified = false;
    this.fileName = '';
    this.sourceName = '';
    this.sourceModified = false;
    this.credit = 0;
    this.lastFrame = 0;
    this.chunk = 4096;
    this.instructions = 0;

    this.memory = new HexGrid($('memory'), {
      cols: 16,
      count: 256,
      digits: () => 2,
      onCommit: (i, value) => this.editCell(i, value),
      onCurrent: (i) => ($('status-address').textContent = `Address: ${i}`),
      onSelection: (lo, hi) => this.showSelection(lo, hi),
      onDelete: (lo, hi) => this.clearMemory(lo, hi),
    });
    this.registers = new HexGrid($('registers'), {
      cols: 1,
      count: 16,
      digits: () => 2,
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
        (message) => this.ask(message, ['OK']),
        () => {
          if (!this.sourceModified) {
            this.sourceModified = true;
            this.saveNames();
          }
          this.store.saveSourceSoon(this.editor.text);
        },
    );
    this.captions();
    this.wire();
    // The terminal has its size before a reload gives its text back.
    this.terminal.measure();
    this.restore();
    new ResizeObserver(() => this.terminal.measure()).observe($('output'));
    this.refresh(true);
  }

  captions() {
    $('mem-cols').innerHTML = [...Array(16).keys()].map((n) => `<div>..${hexText(n, 1)}</div>`).join('');
    $('mem-rows').innerHTML = [...Array(16).keys()].map((n) => `<div>${hexText(n, 1)}0</div>`).join('');
    $('reg-rows').innerHTML = [...Array(16).keys()].map((n) => `<div>R${hexText(n, 1)}</div>`).join('');
  }

  wire() {
    $('run').addEventListener('click', () => this.run());
    $('step').addEventListener('click', () => this.step());
    $('step-back').addEventListener('click', () => this.stepBack());
    $('break').addEventListener('click', () => this.stop('Ready', Black));
    $('clear').addEventListener('click', () => this.clearDialog());
    $('zero-pc').addEventListener('click', () => {
      this.core.setPC(0);
      this.refresh();
    });
    $('open').addEventListener('click', () => this.open());
    $('save').addEventListener('click', () => this.saveProgram(this.fileName || 'program.prg'));
    $('save-as').addEventListener('click', () => {
      const name = prompt('Save main memory as', this.fileName || 'program.prg');
      if (name) this.saveProgram(name);
    });
    $('listing').addEventListener('click', () => download('listing.txt', this.core.listing()));
    $('speed').addEventListener('change', () => {
      this.credit = 0;
      this.store.saveSpeed($('speed').value);
    });
    $('assemble').addEventListener('click', () => this.assemble());
    $('asm-open').addEventListener('click', () => this.openSource());
    $('asm-save').addEventListener('click', () => this.saveSource());
    $('example-hello').addEventListener('click', () => this.example('examples/hello.asm'));
    $('example-output').addEventListener('click', () => this.example('examples/outputtest.asm'));
    document.addEventListener('keydown', (e) => {
      // An open question is modal for the keys too: a command behind it
      // would change the machine the question is about.
      if (document.querySelector('dialog[open]')) return;
      const keys = {F9: 'run', F8: 'step', 'Shift+F8': 'step-back'};
      const key = (e.shiftKey ? 'Shift+' : '') + e.key;
      if (keys[key] && !e.ctrlKey && !e.altKey) {
        e.preventDefault();
        $(keys[key]).click();
      } else if (e.key === 'F9' && e.ctrlKey) {
        e.preventDefault();
        this.assemble();
      }
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
    this.fileName = String(saved.names.fileName ?? '');
    this.sourceName = String(saved.names.sourceName ?? '');
    this.sourceModified = !!saved.names.sourceModified;
    this.setTitle();
  }

  saveNames() {
    this.store.saveNames({fileName: this.fileName, sourceName: this.sourceName, sourceModified: this.sourceModified});
  }

  // Another tab wrote a newer source than this tab's copy: neither replaces
  // the other unasked.
  async sourceConflict() {
    if (this.conflict) return;
    this.conflict = true;
    const dialog = $('ask-dialog');
    while (dialog.open) await new Promise((resolve) => dialog.addEventListener('close', resolve, {once: true}));
    const answer =
        await this.ask('The source was changed in another tab.\nWhich one do you want to keep?', [TakeOther, KeepMine]);
    this.conflict = false;
    if (answer === TakeOther) {
      this.editor.setText(this.store.takeSource());
      this.editor.setErrors([]);
      this.sourceModified = true;
      this.saveNames();
    } else
      this.store.writeSource(this.editor.text);
  }

  persist() {
    this.store.saveMemory(this.core, this.modified);
    this.store.saveSource(this.editor.text);
  }

  // --- status
  setStatus(text, colour) {
    const panel = $('status-text');
    panel.textContent = text;
    panel.style.color = colour;
  }

  showSelection(lo, hi) {
    if (lo < 0 || hi < 0)
      this.setStatus('No Selection', Blue);
    else if (lo === hi)
      this.setStatus(`Selected: ${lo}`, Blue);
    else
      this.setStatus(`Selected: ${lo}-${hi}`, Blue);
  }

  setModified(flag) {
    this.modified = flag;
    $('save').disabled = !flag;
    $('status-modified').textContent = flag ? 'Modified' : '';
  }

  setTitle() {
    this.saveNames();
    document.title = $('title').textContent = this.fileName ? `Orvik Simulator - ${this.fileName}` : 'Orvik Simulator';
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
    this.disasm.update(follow);
    this.terminal.paint();
    $('trace').textContent = core.trace();
    $('step-back').disabled = this.running || !core.canStepBack();
  }

  // --- editing memory
  editCell(adr, value) {
    const old = this.core.cell(adr);
    this.core.setCell(adr, value);
    if (old !== value) this.setModified(true);
    this.refresh();
    this.store.saveMemory(this.core, this.modified);
  }

  clearMemory(lo, hi) {
    const from = lo < 0 ? 0 : lo;
    const to = lo < 0 ? 255 : hi;
    let changed = false;
    for (let adr = from; adr <= to; ++adr) changed ||= this.core.cell(adr) !== 0;
    this.core.clearMemory(from, to);
    if (changed) this.setModified(true);
    this.refresh();
    this.store.saveMemory(this.core, this.modified);
  }

  clearDialog() {
    const dialog = $('clear-dialog');
    for (const id of ['clear-memory', 'clear-registers', 'clear-pc']) $(id).checked = true;
    dialog.returnValue = '';
    dialog.onclose = () => {
      if (dialog.returnValue === 'ok') {
        const memory = $('clear-memory').checked;
        if (memory) {
          this.core.clearMemory(0, 255);
          this.setModified(false);
        }
        if ($('clear-registers').checked) this.core.clearRegisters();
        if ($('clear-pc').checked) this.core.setPC(0);
        this.refresh();
        // A cleared memory shows no last-changed cell.
        if (memory) this.memory.setChanged(-1);
        this.store.saveMemory(this.core, this.modified);
      }
      this.setStatus('Ready', Black);
    };
    dialog.showModal();
  }

  // --- running
  finish(stop) {
    if (stop === StopHalt)
      this.setStatus('Halted', Red);
    else if (stop === StopInvalid)
      this.setStatus('Invalid instruction', Red);
    else
      this.setStatus('Ready', Black);
  }

  step() {
    this.setStatus('Running...', Green);
    const stop = this.core.step();
    this.finish(stop === StopHalt || stop === StopInvalid ? stop : StopBudget);
    this.refresh();
    this.store.saveMemory(this.core, this.modified);
  }

  stepBack() {
    if (this.core.stepBack()) this.setStatus('Ready', Black);
    this.refresh();
    this.store.saveMemory(this.core, this.modified);
  }

  run() {
    if (this.running) return;
    this.running = true;
    this.setStatus('Running...', Green);
    $('run').disabled = true;
    $('break').disabled = false;
    // At a set speed the first instruction is due at once: a student sees
    // the program start at the click, then one instruction per period.
    this.credit = 1;
    this.lastFrame = performance.now();
    this.frame(this.lastFrame);
  }

  stop(text, colour) {
    if (!this.running) return;
    this.running = false;
    $('run').disabled = false;
    $('break').disabled = true;
    this.setStatus(text, colour);
    this.refresh();
    this.store.saveMemory(this.core, this.modified);
  }

  frame(now) {
    if (!this.running) return;
    const speed = $('speed').value;
    let stop = StopBudget;
    if (speed === 'max') {
      // Slices of about a millisecond until the frame's share is used.
      const end = performance.now() + SliceMs;
      for (;;) {
        const start = performance.now();
        // A few instructions more or less each time, so that a loop whose
        // length divides the slice does not show the same PC every frame.
        stop = this.core.run(this.chunk + ((Math.random() * 61) | 0));
        this.instructions += this.core.executed();
        const took = performance.now() - start;
        if (stop !== StopBudget) break;
        if (took < 0.5)
          this.chunk = Math.min(this.chunk * 2, 1 << 24);
        else if (took > 2)
          this.chunk = Math.max(this.chunk >> 1, 256);
        if (performance.now() >= end) break;
      }
    } else {
      const rate = Number(speed);
      // At most a fifth of a second is made up after a stall (a hidden tab).
      this.credit = Math.min(this.credit + (rate * (now - this.lastFrame)) / 1000, rate / 5 + 1);
      const count = Math.floor(this.credit);
      if (count > 0) {
        stop = this.core.run(count);
        this.credit -= this.core.executed();
        this.instructions += this.core.executed();
      }
    }
    this.lastFrame = now;
    if (stop !== StopBudget) {
      this.stop('', Black);
      this.finish(stop);
      return;
    }
    this.refresh();
    requestAnimationFrame((t) => this.frame(t));
  }

  // --- files
  async askSaveMemory(question) {
    if (!this.modified) return true;
    const answer = await this.ask(question, ['Yes', 'No', 'Cancel'], 'Save?');
    if (answer === 'Yes') this.saveProgram(this.fileName || 'program.prg');
    return answer === 'Yes' || answer === 'No';
  }

  async open() {
    if (!(await this.askSaveMemory('Memory Changed.\nDo you want to save before you open another file?'))) return;
    const file = await pickFile('.prg,.asm');
    if (!file) return;
    if (/\.asm$/i.test(file.name)) {
      // The editor's own Open asks about unsaved text; so does this one.
      if (await this.askSaveSource()) this.loadSource(file);
      return;
    }
    this.loadProgramFile(file);
  }

  // file: {name, bytes} of a program file, asked about already.
  loadProgramFile(file) {
    const message = this.core.loadProgram(file.bytes);
    if (message)
      this.ask(message, ['OK']);
    else {
      this.recent?.remember(file);
      this.fileName = file.name;
      this.setTitle();
    }
    // As on the desktop: PC goes to 0 with a change seen, whatever happened.
    this.core.setPC(2);
    this.core.setPC(0);
    this.setModified(false);
    this.refresh(true);
    this.store.saveMemory(this.core, this.modified);
  }

  saveProgram(name) {
    download(name, this.core.saveProgram());
    this.fileName = name;
    this.setTitle();
    this.setModified(false);
    this.store.saveMemory(this.core, this.modified);
  }

  async askSaveSource() {
    if (!this.sourceModified) return true;
    const answer = await this.ask(
        'Assembly File Changed.\nDo you want to save before you open another file?',
        ['Yes', 'No', 'Cancel'],
    );
    if (answer === 'Yes') this.saveSource();
    return answer !== 'Cancel';
  }

  loadSource(file) {
    this.recent?.remember(file);
    this.editor.setText(bytesToString(file.bytes));
    this.sourceName = file.name;
    this.sourceModified = false;
    this.saveNames();
    this.editor.setErrors([]);
    this.store.saveSource(this.editor.text);
  }

  async openSource() {
    if (!(await this.askSaveSource())) return;
    const file = await pickFile('.asm');
    if (file) this.loadSource(file);
  }

  saveSource() {
    // Lines end in CR LF, as the desktop writes them.
    download(this.sourceName || 'source.asm', textToBytes(this.editor.text.replace(/\n/g, '\r\n')));
    this.sourceModified = false;
    this.saveNames();
  }

  async example(url) {
    if (!(await this.askSaveSource())) return;
    const response = await fetch(url);
    this.loadSource({name: '', bytes: new Uint8Array(await response.arrayBuffer())});
  }

  async assemble() {
    const {errors} = this.core.assemble(this.editor.bytes());
    this.editor.setErrors(errors);
    if (errors.length) return;
    if (!(await this.askSaveMemory('Memory Changed.\nDo you want to save before you overwrite the memory?'))) return;
    this.core.loadImage();
    this.setModified(false);
    this.core.setPC(2);
    this.core.setPC(0);
    this.refresh(true);
    this.store.saveMemory(this.core, this.modified);
  }

  // A small modal question; resolves to the caption of the button pressed.
  ask(text, buttons, title = 'Orvik Simulator') {
    const dialog = $('ask-dialog');
    $('ask-text').textContent = text;
    dialog.setAttribute('aria-label', title);
    const bar = $('ask-buttons');
    bar.innerHTML = '';
    for (const caption of buttons) {
      const button = document.createElement('button');
      button.value = caption;
      button.textContent = caption;
      bar.appendChild(button);
    }
    dialog.returnValue = '';
    dialog.showModal();
    return new Promise((resolve) => {
      dialog.onclose = () => resolve(dialog.returnValue || buttons[buttons.length - 1]);
    });
  }
}

initTheme($('theme'));
const core = await OrvikCore.create(globalThis.createOrvikCore);
window.orvik = new Simulator(core);
document.body.dataset.ready = 'true';
performance.mark('orvik-interactive');
initOffline();
initShare(window.orvik, $('share'));
initDrop(window.orvik);
initHelp($('help-dialog'), $('help'));
window.orvik.recent = new RecentFiles(window.orvik, $('recent'));
