// The command keys of the page, the desktop's where it has them: Run F9,
// Step F8, Step Back Shift+F8, Undo Ctrl+Z, Redo Ctrl+Y or Ctrl+Shift+Z,
// Assemble Ctrl+F9, Clear Ctrl+F2, Run to row F4, Remove all breakpoints
// Ctrl+Shift+F2, Open Ctrl+O and Save Ctrl+S (the source's in the
// assembler's half of the page), Break Escape or Pause while a program runs,
// Help F1, an exercise's Check F6, and the page's own Share link
// Ctrl+Shift+L. F2 sets a breakpoint where the focus is (the disassembly
// list, the source); Alt and a button's underlined letter presses it, as
// the desktop's mnemonics (the buttons name it in aria-keyshortcuts).
const $ = (id) => document.getElementById(id);

// commands: running(), assemble(), runToRow(), openSource(), saveSource().
export function installKeys(commands) {
  const press = (id) => {
    if (!$(id).disabled) $(id).click();
  };
  const inEditor = () => !!document.activeElement?.closest('#editor-window');
  const keys = {
    'F9': () => press('run'),
    'F8': () => press('step'),
    'Shift+F8': () => press('step-back'),
    'Ctrl+F9': () => commands.assemble(),
    'Ctrl+F2': () => press('clear'),
    'F4': () => commands.runToRow(),
    'Ctrl+o': () => (inEditor() ? commands.openSource() : press('open')),
    'Ctrl+s': () => (inEditor() ? commands.saveSource() : press('save')),
    'Pause': () => press('break'),
    'Ctrl+Shift+F2': () => press('remove-breakpoints'),
    // In the source and in a cell being typed, Ctrl+Z is the text's own.
    'Ctrl+z': () => press('undo'),
    'F1': () => press('help'),
    'F6': () => press('check'),
    'Ctrl+Shift+l': () => press('share'),
    'Ctrl+y': () => press('redo'),
    'Ctrl+Shift+z': () => press('redo'),
  };
  document.addEventListener('keydown', (e) => {
    // An open question is modal for the keys too: a command behind it
    // would change the machine the question is about.
    if (document.querySelector('dialog[open]') || e.metaKey) return;
    if (e.altKey) {
      if (e.ctrlKey || e.key.length !== 1) return;
      const button = document.querySelector(`button[aria-keyshortcuts="Alt+${e.key.toUpperCase()}"]`);
      if (!button) return;
      e.preventDefault();
      if (!button.disabled) button.click();
      return;
    }
    const key = (e.ctrlKey ? 'Ctrl+' : '') + (e.shiftKey ? 'Shift+' : '') + (e.key.length === 1 ? e.key.toLowerCase() : e.key);
    if (e.key === 'Escape' && commands.running()) {
      // Escape in the source also arms Tab to leave it; both happen.
      press('break');
      return;
    }
    if (!keys[key]) return;
    if (/^Ctrl\+(Shift\+)?[zy]$/.test(key) && document.activeElement?.matches('textarea, input')) return;
    e.preventDefault();
    keys[key]();
  });
}
