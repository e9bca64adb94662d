// The trace pane: the core's last 1,000 trace lines, the desktop's words,
// in a read-only log shown or hidden by its button (View > Trace on the
// desktop). The page's copy is replaced only when the core's has changed.
export class TracePane {
  constructor(tools, pane, toggle) {
    this.tools = tools;
    this.pane = pane;
    this.toggle = toggle;
    this.pre = pane.querySelector('pre');
    this.revision = -1;
    toggle.addEventListener('click', () => this.show(pane.hidden));
  }

  show(on) {
    this.pane.hidden = !on;
    this.toggle.setAttribute('aria-expanded', String(on));
    this.paint();
  }

  paint() {
    if (this.pane.hidden) return;
    const revision = this.tools.traceRevision();
    if (revision === this.revision) return;
    this.revision = revision;
    this.pre.textContent = this.tools.traceText();
    // The newest line at the bottom, in view.
    this.pane.scrollTop = this.pane.scrollHeight;
  }
}
