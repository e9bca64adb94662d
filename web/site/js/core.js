// The WebAssembly core seen from JavaScript: every call goes to the C++
// session, assembler and disassembler; nothing of the machine is computed
// here. Texts cross as 8-bit strings (one character per byte).

// What run() and step() return: the core's stop reason numbers. Callers
// take them at import, before any core exists, so they are written here and
// every new core checks them against its own.
export const StopBudget = 0;
export const StopHalt = 2;
export const StopInvalid = 3;
export const StopBreakpoint = 5;

// Where the instruction at PC stands in the assembled source (the core's
// TPlaceState).
export const PlaceNone = 0;
export const PlaceCode = 1;
export const PlaceData = 2;
export const PlaceStale = 3;

export function bytesToString(bytes) {
  let text = '';
  for (let i = 0; i < bytes.length; i += 8192) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
  return text;
}

export class OrvikCore {
  // factory: createOrvikCore from orvik-core.js; options go to it (node
  // passes wasmBinary, the page lets it fetch orvik-core.wasm).
  static async create(factory, options = {}) { return new OrvikCore(await factory(options)); }

  constructor(module) {
    this.m = module;
    const reason = word => this.m._orvik_stop_reason(this.put(new TextEncoder().encode(word)));
    const expected = {budget: StopBudget, halted: StopHalt, invalid: StopInvalid, breakpoint: StopBreakpoint};
    for (const [word, number] of Object.entries(expected))
      if (reason(word) !== number) throw new Error(`the core's stop "${word}" is ${reason(word)}, not ${number}`);
  }

  bytesAt(pointer) {
    const size = this.m._orvik_text_size();
    return this.m.HEAPU8.slice(pointer, pointer + size);
  }

  textAt(pointer) { return bytesToString(this.bytesAt(pointer)); }

  // Copies bytes into the core's input buffer and returns their count.
  put(bytes) {
    const pointer = this.m._orvik_input(bytes.length);
    this.m.HEAPU8.set(bytes, pointer);
    return bytes.length;
  }

  // bytes: the source as 8-bit text. Returns the errors ({line, column,
  // message}, 0-based) and the 256-byte image.
  assemble(bytes) {
    const count = this.m._orvik_assemble(this.put(bytes));
    const errors = [];
    for (let i = 0; i < count; ++i) {
      errors.push({
        line: this.m._orvik_error_line(i),
        column: this.m._orvik_error_column(i),
        message: this.textAt(this.m._orvik_error_message(i)),
      });
    }
    const image = new Int32Array(256);
    for (let adr = 0; adr < 256; ++adr) image[adr] = this.m._orvik_image_cell(adr);
    return {errors, image};
  }

  // Writes the last assembled image into memory.
  loadImage() { this.m._orvik_load_image(); }

  // The lexer's runs: an Int32Array of (line, start, end, style) quadruples.
  highlight(bytes) {
    const count = this.m._orvik_highlight(this.put(bytes));
    const pointer = this.m._orvik_runs() >> 2;
    return this.m.HEAP32.slice(pointer, pointer + 4 * count);
  }

  // A program file's bytes into memory; "" or the message ("Stream read error").
  loadProgram(bytes) { return this.textAt(this.m._orvik_load_program(this.put(bytes))); }

  saveProgram() { return this.bytesAt(this.m._orvik_save_program()); }

  run(budget) { return this.m._orvik_run(budget); }
  executed() { return this.m._orvik_executed(); }
  step() { return this.m._orvik_run(1); }
  // The last run's or step's stop in the status bar's words ("Halted",
  // "Breakpoint at 0A", "Ready").
  stopWords() { return this.textAt(this.m._orvik_stop_words()); }
  stepBack() { return this.m._orvik_step_back() !== 0; }
  // The last stepBack()'s status words, the window's.
  stepBackWords() { return this.textAt(this.m._orvik_edit_words()); }
  // Undo (or Redo) of the newest user edit: {done, memoryChanged, words}.
  undo(redo = false) {
    const result = this.m._orvik_undo(redo ? 1 : 0);
    return {done: result !== 0, memoryChanged: result === 3, words: this.textAt(this.m._orvik_edit_words())};
  }
  // The pacing of a run at a set speed, the window's (machine/Pacing.h).
  pacingRestart(perSecond) { this.m._orvik_pacing_restart(perSecond); }
  pacingDue(elapsedSeconds) { return this.m._orvik_pacing_due(elapsedSeconds); }
  pacingDone() { return this.m._orvik_pacing_done(); }
  pacingBatch(due) { return this.m._orvik_pacing_batch(due); }
  pacingCount(executed) { this.m._orvik_pacing_count(executed); }
  canStepBack() { return this.m._orvik_can_step_back() !== 0; }
  setBreakpoint(adr, on) { this.m._orvik_set_breakpoint(adr, on ? 1 : 0); }
  // Every breakpoint and every watch.
  removeBreakpoints() { this.m._orvik_remove_breakpoints(); }
  breakpoint(adr) { return this.m._orvik_breakpoint(adr) !== 0; }
  trace() { return this.textAt(this.m._orvik_trace()); }

  cell(adr) { return this.m._orvik_cell(adr); }
  setCell(adr, value) { this.m._orvik_set_cell(adr, value); }
  register(n) { return this.m._orvik_register(n); }
  setRegister(n, value) { this.m._orvik_set_register(n, value); }
  // Memory lo..hi to 0 as one edit.
  clearMemory(lo, hi) { this.m._orvik_clear_memory(lo, hi); }
  // R0..RF to 0 in ascending order, as one edit; RF's write is output.
  clearRegisters() { this.m._orvik_clear_registers(); }
  // All 256 cells at once, as a program file would load them.
  loadCells(cells) {
    const bytes = new Uint8Array(1024);
    const view = new DataView(bytes.buffer);
    for (let adr = 0; adr < 256; ++adr) view.setInt32(4 * adr, cells[adr] | 0, true);
    return this.loadProgram(bytes);
  }
  pc() { return this.m._orvik_pc(); }
  setPC(value) { this.m._orvik_set_pc(value); }
  ir() { return this.m._orvik_ir(); }
  disasm(adr) { return this.textAt(this.m._orvik_disasm(adr)); }
  listing() { return this.bytesAt(this.m._orvik_listing()); }

  // Bytes written to RF since the start; output(from) gives those from index
  // `from` on that are still kept.
  outputCount() { return this.m._orvik_output_count(); }
  output(from) { return this.bytesAt(this.m._orvik_output(from)); }
  setTerminalSize(cols, rows) { this.m._orvik_terminal_size(cols, rows); }
  // The terminal starts over from these bytes (a reload gives back what it
  // showed); nothing is executed.
  restoreTerminal(bytes) { this.m._orvik_restore_terminal(this.put(bytes)); }
  // The terminal's lines as 8-bit strings (the view maps them to characters).
  terminalLines() {
    const lines = [];
    const count = this.m._orvik_terminal_line_count();
    for (let i = 0; i < count; ++i) lines.push(this.textAt(this.m._orvik_terminal_line(i)));
    return lines;
  }

  // --- the assembled source behind memory (1-based lines)
  hasMap() { return this.m._orvik_has_map() !== 0; }
  // The instruction at PC, the next to run: {state, line, start, end}.
  placeAtPC() {
    const p = this.m._orvik_place_at_pc() >> 2;
    const [state, line, start, end] = this.m.HEAP32.slice(p, p + 4);
    return {state, line, start, end, words: this.textAt(this.m._orvik_place_words())};
  }
  labelAt(adr) { return this.textAt(this.m._orvik_label_at(adr)); }
  jumpTargetLabel(adr) { return this.textAt(this.m._orvik_jump_target_label(adr)); }
  // Returns the line the breakpoint went to (0: no code at or after line).
  setLineBreakpoint(line, on) { return this.m._orvik_set_line_breakpoint(line, on ? 1 : 0); }
  breakpointLines() {
    const count = this.m._orvik_breakpoint_lines();
    const p = this.m._orvik_ints() >> 2;
    return [...this.m.HEAP32.slice(p, p + count)];
  }
  shiftLines(from, delta) { this.m._orvik_shift_lines(from, delta); }

  // --- exercises: the engine of orvik-cli test, in the window's words
  // Reads an exercise file's bytes; "" or its mistakes, one a line (the
  // exercise open before stays open then).
  openExercise(name, bytes) {
    const nameBytes = new TextEncoder().encode(name);
    const input = new Uint8Array(nameBytes.length + bytes.length);
    input.set(nameBytes);
    input.set(bytes, nameBytes.length);
    return this.textAt(this.m._orvik_exercise_open(nameBytes.length, this.put(input)));
  }
  // {title, statement, starter, cases}: cases are the list's lines.
  exercise() {
    const cases = [];
    for (let i = 0; i < this.m._orvik_exercise_case_count(); ++i) cases.push(this.textAt(this.m._orvik_exercise_case(i)));
    const text = (which) => this.textAt(this.m._orvik_exercise_text(which));
    return {title: text(0), statement: text(1), starter: text(2), cases};
  }
  // Runs the last assembled image (assembled without errors) against every
  // case: {rows: [{text, passed}], hidden, total}.
  checkExercise() {
    const rows = [];
    const count = this.m._orvik_exercise_check();
    for (let i = 0; i < count; ++i)
      rows.push({text: this.textAt(this.m._orvik_check_row(i)), passed: this.m._orvik_check_row_passed(i) !== 0});
    return {rows, hidden: this.textAt(this.m._orvik_check_hidden()), total: this.textAt(this.m._orvik_check_total())};
  }
  // Check's words for a source that does not assemble.
  noAssemblyWords() { return this.textAt(this.m._orvik_check_no_assembly()); }
  // Loads the failing case of result row i into the machine; false for none.
  debugCase(i) { return this.m._orvik_exercise_debug(i) !== 0; }
}
