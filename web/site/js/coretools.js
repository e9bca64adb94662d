// The core's debugging tools seen from JavaScript: value readings, Back to
// start of run, Break here, Stop when written, the trace pane's lines and
// Cut/Copy/Paste of memory. Every word and rule is the core's (the
// desktop's); this only carries them. Their texts are UTF-8.

const utf8 = new TextDecoder();

export class CoreTools {
  constructor(core) {
    this.core = core;
    this.m = core.m;
  }

  text(pointer) { return utf8.decode(this.core.bytesAt(pointer)); }
  // The words of the last command here ("Cell 3F watched", a paste refused).
  words() { return this.text(this.m._orvik_tool_words()); }

  // "3C hex  60  +60  00111100 bin  '<'  float 96"
  readings(registers, adr) { return this.text(this.m._orvik_value_readings(registers ? 1 : 0, adr)); }

  // Instructions undone; words() tells it as the status bar does.
  backToStart() { return this.m._orvik_back_to_start(); }
  toggleBreakpoint(adr) { return this.m._orvik_toggle_breakpoint(adr) !== 0; }
  toggleWatch(registers, adr) { return this.m._orvik_toggle_watch(registers ? 1 : 0, adr) !== 0; }
  watched(registers, adr) { return this.m._orvik_watched(registers ? 1 : 0, adr) !== 0; }

  traceRevision() { return this.m._orvik_trace_revision(); }
  traceText() { return this.text(this.m._orvik_trace_lines()); }
  traceCatchUp() { this.m._orvik_trace_catch_up(); }
  traceOpened(name) { this.m._orvik_trace_opened(this.core.put(new TextEncoder().encode(name))); }

  // Cut and Paste: {done, memoryChanged}; a refused paste's message in
  // words().
  copy(lo, hi) { this.m._orvik_copy(lo, hi); }
  cut(lo, hi) { return result(this.m._orvik_cut(lo, hi)); }
  paste(lo, hi) { return result(this.m._orvik_paste(lo, hi)); }
}

function result(code) { return {done: code !== 0, memoryChanged: code === 3}; }
