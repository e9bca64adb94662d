// What survives a reload: the source, memory, registers and PC, its modified state, the
// breakpoints, the speed and the file names, in the browser's local storage. A full or
// refused storage costs only the copy, never the page.

const Prefix = 'orvik.';
const SourceDelayMs = 300;

export class Store {
  constructor(storage) {
    this.storage = storage;
    this.timer = 0;
  }

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
    return {
      source: this.get('source') ?? undefined,
      memory: Array.isArray(memory) && memory.length === 256 ? memory : undefined,
      registers: registers && Array.isArray(registers.registers) && registers.registers.length === 16 &&
              Number.isInteger(registers.pc) ?
          registers :
          undefined,
      modified: this.get('modified') === '1',
      breakpoints: parse(this.get('breakpoints')),
      speed: this.get('speed') ?? undefined,
      names: parse(this.get('names')) ?? {},
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

  saveSource(text) {
    clearTimeout(this.timer);
    this.set('source', text);
  }

  saveSourceSoon(text) {
    clearTimeout(this.timer);
    this.timer = setTimeout(() => this.set('source', text), SourceDelayMs);
  }
}
