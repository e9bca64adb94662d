// The page's modal questions: the desktop's message boxes and its Clear
// dialog, as <dialog> elements.
const $ = (id) => document.getElementById(id);

// A small modal question; resolves to the caption of the button pressed
// (Escape answers the last one).
export function ask(text, buttons, title = 'Orvik Simulator') {
  const dialog = $('ask-dialog');
  $('ask-text').textContent = text;
  dialog.setAttribute('aria-label', title);
  const bar = $('ask-buttons');
  bar.innerHTML = '';
  for (const caption of buttons) {
    const button = document.createElement('button');
    button.value = caption;
    button.textContent = caption;
    bar.appendChild(button);
  }
  dialog.returnValue = '';
  dialog.showModal();
  return new Promise((resolve) => {
    dialog.onclose = () => resolve(dialog.returnValue || buttons[buttons.length - 1]);
  });
}

// Waits until no question is open (another one may be on screen).
export async function askWhenFree(text, buttons) {
  const dialog = $('ask-dialog');
  while (dialog.open) await new Promise((resolve) => dialog.addEventListener('close', resolve, {once: true}));
  return ask(text, buttons);
}

// The Clear dialog, every box ticked; onClose({memory, registers, pc}) or
// onClose(null) for Cancel.
export function askClear(onClose) {
  const dialog = $('clear-dialog');
  for (const id of ['clear-memory', 'clear-registers', 'clear-pc']) $(id).checked = true;
  dialog.returnValue = '';
  dialog.onclose = () => {
    onClose(
        dialog.returnValue === 'ok' ?
            {memory: $('clear-memory').checked, registers: $('clear-registers').checked, pc: $('clear-pc').checked} :
            null);
  };
  dialog.showModal();
}
