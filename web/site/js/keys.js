// The command keys of the page, the desktop's where it has them.
const $ = (id) => document.getElementById(id);

// commands: {assemble()}.
export function installKeys(commands) {
  document.addEventListener('keydown', (e) => {
    // An open question is modal for the keys too: a command behind it
    // would change the machine the question is about.
    if (document.querySelector('dialog[open]')) return;
    const keys = {F9: 'run', F8: 'step', 'Shift+F8': 'step-back'};
    const key = (e.shiftKey ? 'Shift+' : '') + e.key;
    if (keys[key] && !e.ctrlKey && !e.altKey) {
      e.preventDefault();
      $(keys[key]).click();
    } else if (e.key === 'F9' && e.ctrlKey) {
      e.preventDefault();
      commands.assemble();
    }
  });
}
