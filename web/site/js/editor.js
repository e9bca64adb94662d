// The assembly editor: a plain textarea over a layer that shows the same
// text coloured by the core's lexer (the runs the desktop highlighter uses),
// and the error list with line navigation. Sources are 8-bit text: one
// character per byte, as in the desktop editor.

const LongSource = 100000;  // characters
const PaintDelayMs = 150;
const StyleClasses = ['hs-normal', 'hs-string', 'hs-numeric', 'hs-keyword', 'hs-comment', 'hs-error'];

export function textToBytes(text) {
  const bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i) & 0xff;
  return bytes;
}

function escapeHtml(text) { return text.replace(/[&<>]/g, (c) => ({'&': '&amp;', '<': '&lt;', '>': '&gt;'})[c]); }

function without8BitCode(text) { return [...new Set([...text].filter((c) => c.charCodeAt(0) > 255))].join(''); }

// Moves the focus to the control before (step -1) or after (1) element in
// the page's tab order, as Tab would: the browser does not on Ctrl+Tab.
function focusNeighbour(element, step) {
  const stops = [...document.querySelectorAll('a[href], button, input, select, textarea, [tabindex]')].filter(
      (e) => e === element || (e.tabIndex >= 0 && !e.disabled && e.getClientRects().length > 0));
  const next = stops[stops.indexOf(element) + step];
  if (next) next.focus();
}

export class AsmEditor {
  // elements: area (textarea), layer (pre), errors (list), next, previous;
  // notify(message) shows a message; onChange() after every edit.
  constructor(core, elements, notify, onChange) {
    this.core = core;
    this.e = elements;
    this.notify = notify;
    this.onChange = onChange;
    this.errors = [];
    this.selected = -1;
    const area = elements.area;
    area.addEventListener('beforeinput', (e) => this.beforeInput(e));
    // Tab types a tab, as in the desktop editor, instead of leaving the text.
    // Ctrl+Tab leaves it as on the desktop (where the browser passes it on),
    // and so does Tab right after Escape, as in code editors on the web.
    let escaped = false;
    area.addEventListener('keydown', (e) => {
      const leave = escaped;
      if (!['Shift', 'Control', 'Alt', 'Meta'].includes(e.key)) escaped = e.key === 'Escape';
      if (e.key !== 'Tab' || e.altKey || e.metaKey) return;
      if (e.ctrlKey) {
        e.preventDefault();
        focusNeighbour(area, e.shiftKey ? -1 : 1);
      } else if (!e.shiftKey && !leave) {
        e.preventDefault();
        document.execCommand('insertText', false, '\t');
      }
    });
    area.addEventListener('blur', () => (escaped = false));
    area.addEventListener('input', () => {
      // A long source is coloured again once typing pauses, so keystrokes
      // stay quick; the text itself is always current.
      clearTimeout(this.paintTimer);
      if (this.text.length > LongSource)
        this.paintTimer = setTimeout(() => this.paint(), PaintDelayMs);
      else
        this.paint();
      this.onChange();
    });
    area.addEventListener('scroll', () => {
      elements.layer.scrollTop = area.scrollTop;
      elements.layer.scrollLeft = area.scrollLeft;
    });
    elements.errors.addEventListener('mouseup', (e) => {
      if (e.button !== 0 || e.shiftKey || e.ctrlKey || e.altKey) return;
      const item = e.target.closest('li');
      this.showError(item ? Number(item.dataset.index) : -1);
    });
    elements.errors.addEventListener('keydown', (e) => {
      if (e.key === 'Enter') {
        e.preventDefault();
        this.showError(this.selected);
      } else if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
        e.preventDefault();
        const i = this.selected + (e.key === 'ArrowDown' ? 1 : -1);
        if (i >= 0 && i < this.errors.length) this.select(i);
      }
    });
    elements.next.addEventListener('click', () => {
      if (this.selected < this.errors.length - 1) this.showError(this.selected + 1);
    });
    elements.previous.addEventListener('click', () => {
      if (this.selected > 0) this.showError(this.selected - 1);
    });
    this.setErrors([]);
  }

  // A typed character without an 8-bit code is refused; pasted or dropped
  // text keeps its place with "?" for each such character.
  beforeInput(e) {
    const data = e.data ?? e.dataTransfer?.getData('text/plain') ?? '';
    const missing = without8BitCode(data);
    if (!missing) return;
    e.preventDefault();
    if (e.inputType === 'insertText' || e.inputType === 'insertCompositionText') {
      this.notify(`"${missing}" has no 8-bit code and was not inserted.\nAssembly sources are 8-bit text.`);
      return;
    }
    const replaced = [...data].map((c) => (c.charCodeAt(0) > 255 ? '?' : c)).join('');
    document.execCommand('insertText', false, replaced);
    this.notify(
        `The inserted text held characters without an 8-bit code ("${missing}"); each was replaced by "?".\n` +
            'Assembly sources are 8-bit text.',
    );
  }

  get text() { return this.e.area.value; }

  // Replaces the whole source (a file, an example, the stored copy).
  setText(text) {
    this.e.area.value = text.replace(/\r\n?/g, '\n');
    this.e.area.setSelectionRange(0, 0);
    this.e.area.scrollTop = 0;
    this.paint();
    this.onReplace?.();
  }

  bytes() { return textToBytes(this.text); }

  paint() {
    const lines = this.text.split('\n');
    const runs = this.core.highlight(this.bytes());
    const html = lines.map((line) => ({line, parts: []}));
    for (let i = 0; i < runs.length; i += 4) {
      const entry = html[runs[i]];
      const text = entry.line.slice(runs[i + 1], runs[i + 2]);
      entry.parts.push(`<span class="${StyleClasses[runs[i + 3]] ?? 'hs-normal'}">${escapeHtml(text)}</span>`);
    }
    // A trailing blank line keeps the layer as tall as the textarea's text.
    this.e.layer.innerHTML = html.map((entry) => entry.parts.join('')).join('\n') + '\n ';
  }

  // The entries of an assembly: "line N: message", with the positions.
  setErrors(errors) {
    this.errors = errors;
    this.selected = -1;
    this.e.errors.innerHTML = '';
    errors.forEach((error, i) => {
      const item = document.createElement('li');
      item.dataset.index = i;
      item.textContent = `line ${error.line + 1}: ${error.message}`;
      this.e.errors.appendChild(item);
    });
    this.e.next.disabled = errors.length === 0;
    this.e.previous.disabled = true;
    if (!errors.length) return;
    this.showError(0);
    // Enabled after an assembly with errors even when there is only one.
    this.e.next.disabled = false;
  }

  select(i) {
    this.selected = i;
    [...this.e.errors.children].forEach((item, n) => item.classList.toggle('selected', n === i));
  }

  // Selects entry i and puts the caret at its line and column.
  showError(i) {
    if (i < 0 || i >= this.errors.length) return;
    this.select(i);
    this.e.previous.disabled = i === 0;
    this.e.next.disabled = i >= this.errors.length - 1;
    const {line, column} = this.errors[i];
    const lines = this.text.split('\n');
    let offset = 0;
    for (let n = 0; n < line && n < lines.length; ++n) offset += lines[n].length + 1;
    offset = Math.min(offset + column, this.text.length);
    const area = this.e.area;
    area.focus();
    area.setSelectionRange(offset, offset);
    const lineHeight = parseFloat(getComputedStyle(area).lineHeight) || 16;
    const top = line * lineHeight;
    if (top < area.scrollTop || top > area.scrollTop + area.clientHeight - 2 * lineHeight)
      area.scrollTop = Math.max(top - area.clientHeight / 3, 0);
  }
}
