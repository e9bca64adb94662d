// The editor's line numbers: a column left of the breakpoint gutter, hidden
// from screen readers (the text's own lines are read), scrolled with the
// text. count() gives the number of lines the gutter has.
export class LineNumbers {
  constructor(box, area, count) {
    this.area = area;
    this.count = count;
    this.shown = 0;
    this.el = document.createElement('div');
    this.el.className = 'line-numbers';
    this.el.setAttribute('aria-hidden', 'true');
    this.inner = document.createElement('pre');
    this.el.appendChild(this.inner);
    box.prepend(this.el);
    area.addEventListener('input', () => this.paint());
    area.addEventListener('scroll', () => (this.inner.style.transform = `translateY(${-area.scrollTop}px)`));
  }

  paint() {
    const count = Math.max(this.count(), 1);
    if (count === this.shown) return;
    this.shown = count;
    let text = '';
    for (let n = 1; n <= count; ++n) text += `${n}\n`;
    this.inner.textContent = text;
  }
}
