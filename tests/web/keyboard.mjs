// The page with the keyboard only, in headless Chromium: every command's
// key (the desktop's where it has one), the buttons' access keys, and the
// disassembly list moved with the arrows, its breakpoints set with F2 and
// Space, and Run to row (F4) on it.
//   node tests/web/keyboard.mjs --site build-web/web/site

import {check, finish} from './checks.mjs';
import {withHelloPage} from './serve.mjs';

await withHelloPage('keyboard.mjs', async (page, errors) => {
  await page.focus('#source');

  const state = () => page.evaluate(() => {
    const core = window.orvik.core;
    const list = document.getElementById('disasm');
    return {
      pc: core.pc(),
      cell0: core.cell(0),
      status: document.getElementById('status-text').textContent,
      active: list.getAttribute('aria-activedescendant'),
      selected: [...list.querySelectorAll('[aria-selected=true]')].map((r) => r.id).join(),
      breakpoints: [...Array(256).keys()].filter((a) => core.breakpoint(a)).join(),
      dialog: document.querySelector('dialog[open]')?.id ?? '',
      running: window.orvik.running,
    };
  });
  const press = async (chord) => {
    const keys = chord.split('+');
    const key = keys.pop();
    for (const m of keys) await page.keyboard.down(m);
    await page.keyboard.press(key === 'Space' ? ' ' : key);
    for (const m of keys.reverse()) await page.keyboard.up(m);
  };
  const settle = () => page.waitForFunction(() => !window.orvik.running, {timeout: 10000});

  // Each row: what is pressed (after the focus moved, if given), then what
  // the machine and the page must show.
  const rows = [
    ['Ctrl+F9 assembles', '#source', ['Control+F9'], (s) => s.cell0 === 0x21],
    ['F8 steps', null, ['F8'], (s) => s.pc === 2],
    ['Alt+T (Step) steps', null, ['Alt+t'], (s) => s.pc === 4],
    ['Shift+F8 steps back', null, ['Shift+F8'], (s) => s.pc === 2],
    ['Alt+B (Step Back) steps back', null, ['Alt+b'], (s) => s.pc === 0],
    ['the arrows move the disassembly row', '#disasm', ['ArrowDown', 'ArrowDown', 'ArrowDown', 'ArrowDown'],
     (s) => s.active === 'disasm-row-4' && s.selected === 'disasm-row-4'],
    ['F2 sets the row\'s breakpoint', null, ['F2'], (s) => s.breakpoints === '8'],
    ['Space clears it', null, ['Space'], (s) => s.breakpoints === ''],
    ['F4 runs to the row, with no breakpoint left', null, ['ArrowUp', 'F4'],
     (s) => s.pc === 6 && s.breakpoints === '' && !s.running],
    ['F2 on two rows', null, ['F2', 'ArrowDown', 'F2'], (s) => s.breakpoints === '6,8'],
    ['Ctrl+Shift+F2 removes all breakpoints', null, ['Control+Shift+F2'], (s) => s.breakpoints === ''],
    ['Ctrl+F2 opens Clear', null, ['Control+F2'], (s) => s.dialog === 'clear-dialog'],
    ['F8 is held back behind it', null, ['F8'], (s) => s.pc === 6],
    ['Escape cancels Clear', null, ['Escape'], (s) => s.dialog === '' && s.pc === 6],
    ['F9 runs to the halt', null, ['F9'], (s) => s.status === 'Halted'],
  ];
  for (const [name, focus, chords, wanted] of rows) {
    if (focus) await page.focus(focus);
    for (const chord of chords) await press(chord);
    await settle();
    const got = await state();
    check(name, wanted(got), JSON.stringify(got));
  }

  // Escape breaks a slow run; Pause as well.
  await page.select('#speed', '1');
  for (const key of ['Escape', 'Pause']) {
    await page.click('#zero-pc');
    await press('F9');
    const started = (await state()).running;
    await press(key);
    const got = await state();
    check(`${key} breaks a run`, started && !got.running && got.status === 'Ready', JSON.stringify(got));
  }

  // Ctrl+O asks for a file: the main window's (program or source) from
  // the machine's half, the assembler's (sources only) from the editor.
  for (const [focus, accept] of [['#disasm', '.prg,.asm,.json'], ['#source', '.asm']]) {
    await page.focus(focus);
    const [chooser] = await Promise.all([page.waitForFileChooser({timeout: 10000}).catch(() => null),
                                         press('Control+o')]);
    const accepts = chooser ? await page.$eval('#file-picker', (e) => e.accept) : 'no chooser';
    check(`Ctrl+O in ${focus} opens the chooser for ${accept}`, accepts === accept, accepts);
    if (chooser) await chooser.cancel();
  }
  // Undo and Redo of the student's edits, with the desktop's words.
  await page.click('#zero-pc');
  await page.click('#memory .cell[data-index="32"]');
  const cell32 = () => page.evaluate(() => window.orvik.core.cell(32));
  const before = await cell32();
  const undoRows = [
    ['typing a value', ['7', 'Enter'], 7, ''],
    ['Ctrl+Z', ['Control+z'], before, 'Undone: Typing'],
    ['Ctrl+Y', ['Control+y'], 7, 'Redone: Typing'],
    ['Ctrl+Shift+Z with nothing undone', ['Control+Shift+z'], 7, 'Nothing to redo'],
    ['Ctrl+Z after a step', ['F8', 'Control+z'], 7, 'Nothing to undo: use Step Back (Shift+F8) first'],
  ];
  for (const [name, chords, value, words] of undoRows) {
    for (const chord of chords) await press(chord);
    const got = [await cell32(), (await state()).status];
    check(`${name} leaves ${value} with "${words}"`, got[0] === value && (!words || got[1] === words),
          JSON.stringify(got));
  }
  check('no errors on the page', errors.length === 0, errors.join('; '));
});
finish();
