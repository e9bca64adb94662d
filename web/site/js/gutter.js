// The editor's source-level debugging: a gutter of breakpoint buttons, one
// per line, and the band on the line of the instruction at PC (the next to
// run). Lines, bindings and places all come from the core's debug session;
// this only paints them and tells it when edits move lines.
import {PlaceCode, PlaceData, PlaceStale} from './core.js';

const BandClasses = {[PlaceCode]: 'code', [PlaceData]: 'data', [PlaceStale]: 'stale'};

function lineCount(text) {
  let count = 1;
  for (let i = text.indexOf('\n'); i >= 0; i = text.indexOf('\n', i + 1)) ++count;
  return count;
}

export class SourceGutter {
  // box: the editor's frame; area: its textarea; onChange() after a
  // breakpoint was set or cleared here.
  constructor(core, box, area, onChange) {
    this.core = core;
    this.area = area;
    this.onChange = onChange;
    this.el = document.createElement('div');
    this.el.className = 'source-gutter';
    this.inner = document.createElement('div');
    this.el.appendChild(this.inner);
    this.band = document.createElement('div');
    this.band.className = 'current-line';
    this.band.hidden = true;
    box.prepend(this.band);
    box.prepend(this.el);
    this.buttons = [];
    this.marked = new Set();
    this.text = area.value;
    this.inner.addEventListener('click', (e) => {
      const button = e.target.closest('button');
      if (button) this.toggle(Number(button.dataset.line));
    });
    area.addEventListener('keydown', (e) => {
      if (e.key !== 'F2' || e.ctrlKey || e.altKey || e.shiftKey) return;
      e.preventDefault();
      this.toggle(this.caretLine());
    });
    area.addEventListener('input', () => this.edited());
    area.addEventListener('scroll', () => this.scrolled());
  }

  caretLine() { return lineCount(this.area.value.slice(0, this.area.selectionStart)); }

  // Sets the line's breakpoint, or clears the one shown there; a line
  // without code gives it to the next line with code, where the dot shows.
  toggle(line) {
    this.core.setLineBreakpoint(line, !this.marked.has(line));
    this.onChange();
  }

  // The whole text was replaced (a file, an example): nothing to follow.
  reset() {
    this.text = this.area.value;
    this.lines(lineCount(this.text));
  }

  // An edit that added or removed lines moves the breakpoints below it, so
  // the next Assemble binds them where their lines went.
  edited() {
    const before = this.text;
    const after = this.area.value;
    this.text = after;
    const delta = lineCount(after) - lineCount(before);
    if (delta === 0) return;
    let p = 0;
    while (p < before.length && before[p] === after[p]) ++p;
    const line = lineCount(before.slice(0, p));
    const atLineStart = p === 0 || before[p - 1] === '\n';
    this.core.shiftLines(atLineStart ? line : line + 1, delta);
    this.lines(lineCount(after));
  }

  lines(count) {
    while (this.buttons.length < count) {
      const n = this.buttons.length + 1;
      const button = document.createElement('button');
      button.type = 'button';
      // One tab stop less per line: F2 in the text does the same.
      button.tabIndex = -1;
      button.dataset.line = n;
      button.setAttribute('aria-label', `Breakpoint on line ${n}`);
      button.setAttribute('aria-pressed', 'false');
      this.inner.appendChild(button);
      this.buttons.push(button);
    }
    while (this.buttons.length > count) this.buttons.pop().remove();
  }

  scrolled() {
    this.inner.style.transform = `translateY(${-this.area.scrollTop}px)`;
    this.placeBand();
  }

  placeBand() {
    if (this.band.hidden) return;
    const style = getComputedStyle(this.area);
    const height = parseFloat(style.lineHeight) || 17;
    this.band.style.top = `${parseFloat(style.paddingTop) + (this.place.line - 1) * height - this.area.scrollTop}px`;
    this.band.style.height = `${height}px`;
  }

  // The dots and the band from the core, after anything that may move PC or
  // change breakpoints.
  paint() {
    const lines = new Set(this.core.breakpointLines());
    for (const n of new Set([...lines, ...this.marked])) {
      const button = this.buttons[n - 1];
      if (!button) continue;
      button.classList.toggle('on', lines.has(n));
      button.setAttribute('aria-pressed', String(lines.has(n)));
    }
    this.marked = lines;
    const place = this.core.placeAtPC();
    const kind = BandClasses[place.state];
    const moved = !this.place || place.line !== this.place.line || place.state !== this.place.state;
    this.place = place;
    this.band.hidden = !kind || place.line < 1;
    if (this.band.hidden) return;
    this.band.className = `current-line ${kind}`;
    this.band.title = `Next to run: ${place.words}`;
    this.placeBand();
    if (moved) this.follow();
  }

  // Scrolls the band's line into view (only when it moved, so the student
  // can scroll away while a program runs in one place).
  follow() {
    const area = this.area;
    const height = parseFloat(getComputedStyle(area).lineHeight) || 17;
    const top = (this.place.line - 1) * height;
    if (top < area.scrollTop || top > area.scrollTop + area.clientHeight - 2 * height)
      area.scrollTop = Math.max(top - area.clientHeight / 3, 0);
  }
}
