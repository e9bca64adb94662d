// The output terminal's view: the lines come from the core's terminal model
// (the same wrapping, tab, backspace and scrolling rules as the desktop);
// this file only maps bytes to Windows-1252 characters and sizes the model
// to the box.

const Cp1252High = [
  0x20ac, 0x81,   0x201a, 0x192,  0x201e, 0x2026, 0x2020, 0x2021, 0x2c6,  0x2030, 0x160,
  0x2039, 0x152,  0x8d,   0x17d,  0x8f,   0x90,   0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
  0x2013, 0x2014, 0x2dc,  0x2122, 0x161,  0x203a, 0x153,  0x9d,   0x17e,  0x178,
];

// Control characters other than those the model handles show as blanks,
// as the desktop's font draws them.
export function windows1252(bytes) {
  let text = '';
  for (let i = 0; i < bytes.length; ++i) {
    const b = bytes.charCodeAt(i);
    if (b < 0x20 || b === 0x7f || b === 0x81 || b === 0x8d || b === 0x8f || b === 0x90 || b === 0x9d)
      text += ' ';
    else
      text += String.fromCharCode(b >= 0x80 && b < 0xa0 ? Cp1252High[b - 0x80] : b);
  }
  return text;
}

export class TerminalView {
  constructor(core, element) {
    this.core = core;
    this.el = element;
    this.cols = 0;
    this.rows = 0;
    this.shown = '';
  }

  measure() {
    const probe = document.createElement('span');
    probe.textContent = 'M'.repeat(10);
    probe.style.visibility = 'hidden';
    probe.style.position = 'absolute';
    this.el.firstElementChild.appendChild(probe);
    const charWidth = probe.getBoundingClientRect().width / 10;
    const lineHeight =
        parseFloat(getComputedStyle(this.el.firstElementChild).lineHeight) || probe.getBoundingClientRect().height;
    probe.remove();
    const style = getComputedStyle(this.el);
    const width = this.el.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
    const height = this.el.clientHeight - parseFloat(style.paddingTop) - parseFloat(style.paddingBottom);
    const cols = Math.max(Math.floor(width / charWidth), 1);
    const rows = Math.max(Math.floor(height / lineHeight), 1);
    if (cols !== this.cols || rows !== this.rows) {
      this.cols = cols;
      this.rows = rows;
      this.core.setTerminalSize(cols, rows);
    }
  }

  paint() {
    const text = this.core.terminalLines().map(windows1252).join('\n');
    if (text !== this.shown) {
      this.shown = text;
      this.el.firstElementChild.textContent = text;
    }
  }
}
