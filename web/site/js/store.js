// What survives a reload: the source, memory, registers and PC, its modified state, the
// terminal's text, the breakpoints, the speed and the file names, in the browser's local storage. A full or
// refused storage costs only the copy, never the page.
//
// Tabs of one site share the storage but each keeps its own working copy of
// the source: every write of the source raises a revision number beside it,
// and a tab writes only over the revision it last read or wrote. When the
// stored one is newer, onConflict() is called instead of writing, and the
// page asks which copy to keep.

const Prefix = 'orvik.';
const SourceDelayMs = 300;
// What a reload gives the terminal back: the lines it showed, at most this
// many characters (the terminal shows one screen only).
const TerminalLimit = 1 << 16;

export class Store {
  constructor(storage, onConflict = () => {}) {
    this.storage = storage;
    this.timer = 0;
    this.onConflict = onConflict;
    // The source's revision this tab last read or wrote, and that text.
    this.revision = 0;
    this.written = null;
  }

  storedRevision() { return Number(this.get('source.revision')) || 0; }

  get(key) {
    try {
      return this.storage.getItem(Prefix + key);
    } catch {
      return null;
    }
  }

  set(key, value) {
    try {
      this.storage.setItem(Prefix + key, value);
    } catch {
      // Private windows and full storage refuse; the page goes on without a copy.
    }
  }

  load() {
    const parse = (text) => {
      try {
        return text === null ? undefined : JSON.parse(text);
      } catch {
        return undefined;
      }
    };
    const memory = parse(this.get('memory'));
    const registers = parse(this.get('registers'));
    this.revision = this.storedRevision();
    this.written = this.get('source');
    return {
      source: this.written ?? undefined,
      memory: Array.isArray(memory) && memory.length === 256 ? memory : undefined,
      registers: registers && Array.isArray(registers.registers) && registers.registers.length === 16 &&
              Number.isInteger(registers.pc) ?
          registers :
          undefined,
      modified: this.get('modified') === '1',
      breakpoints: parse(this.get('breakpoints')),
      speed: this.get('speed') ?? undefined,
      names: parse(this.get('names')) ?? {},
      terminal: this.get('terminal') ?? undefined,
    };
  }

  saveMemory(core, modified) {
    const cells = [];
    for (let adr = 0; adr < 256; ++adr) cells.push(core.cell(adr));
    this.set('memory', JSON.stringify(cells));
    this.set('modified', modified ? '1' : '0');
    // Registers and PC too: a reload in the middle of stepping goes on from
    // where it was.
    const registers = [];
    for (let n = 0; n < 16; ++n) registers.push(core.register(n));
    this.set('registers', JSON.stringify({registers, pc: core.pc()}));
    this.set('terminal', core.terminalLines().join('\n').slice(-TerminalLimit));
  }

  saveBreakpoints(core) {
    const list = [];
    for (let adr = 0; adr < 256; ++adr)
      if (core.breakpoint(adr)) list.push(adr);
    this.set('breakpoints', JSON.stringify(list));
  }

  saveSpeed(speed) { this.set('speed', speed); }

  // The program file's and the source's names, and whether the source has
  // changes not saved, so that a reload still asks before replacing it.
  saveNames(names) { this.set('names', JSON.stringify(names)); }

  // Writes text unless another tab wrote a newer source since this one
  // last looked: then it calls onConflict() and writes nothing.
  saveSource(text) {
    clearTimeout(this.timer);
    if (text === this.written) return;
    if (this.storedRevision() !== this.revision) {
      this.onConflict();
      return;
    }
    this.writeSource(text);
  }

  saveSourceSoon(text) {
    clearTimeout(this.timer);
    this.timer = setTimeout(() => this.saveSource(text), SourceDelayMs);
  }

  writeSource(text) {
    clearTimeout(this.timer);
    this.revision = this.storedRevision() + 1;
    this.written = text;
    this.set('source', text);
    this.set('source.revision', String(this.revision));
  }

  // The source another tab wrote, now this tab's own revision.
  takeSource() {
    clearTimeout(this.timer);
    this.revision = this.storedRevision();
    this.written = this.get('source') ?? '';
    return this.written;
  }

  // A storage event: true when another tab wrote a source that this one
  // has not seen; the same text as this tab's is only taken over.
  changedElsewhere(event, text) {
    if (event.key !== Prefix + 'source.revision' || this.storedRevision() === this.revision) return false;
    if (this.get('source') !== text) return true;
    this.takeSource();
    return false;
  }
}
