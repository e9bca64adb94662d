// The page as a screen reader gets it, in headless Chromium: the grids'
// accessibility tree (page.accessibility.snapshot()), the disassembly
// listbox with its program counter row, the status bar that is silent
// while a program runs, the terminal's log, and axe-core in the states the
// source-level debugging adds (labels, the band, gutter breakpoints).
//   node tests/web/access.mjs --site build-web/web/site
import fs from 'node:fs';
import {createRequire} from 'node:module';

import {check, finish} from './checks.mjs';
import {withHelloPage} from './serve.mjs';

await withHelloPage('access.mjs', async (page, errors) => {
  await page.click('#assemble');

  // The memory grid's tree: sixteen rows of sixteen cells named by address
  // and value; the focused cell is the grid's active descendant.
  await page.click('#memory .cell[data-index="3"]');
  await page.keyboard.press('ArrowDown');
  const tree = await page.accessibility.snapshot({root: await page.$('#memory'), interestingOnly: false});
  const rows = (tree.children ?? []).filter((n) => n.role === 'row');
  const cellsOf = (row) => (row.children ?? []).filter((n) => n.role === 'gridcell');
  check('the memory is a grid named Main Memory', tree.role === 'grid' && tree.name === 'Main Memory',
        `${tree.role} ${tree.name}`);
  check('of 16 rows of 16 cells', rows.length === 16 && rows.every((r) => cellsOf(r).length === 16), rows.length);
  const cells = rows.flatMap(cellsOf);
  for (const [adr, name] of [[0x00, 'memory 00, 21'], [0x01, 'memory 01, 10'], [0x13, 'memory 13, 6C'],
                             [0xff, 'memory FF, 00']]) {
    check(`the tree names cell ${adr} "${name}"`, cells[adr]?.name === name, cells[adr]?.name);
  }
  check('the focused cell is selected in the tree', cells[0x13]?.selected === true && !cells[0x03]?.selected,
        JSON.stringify([cells[0x13], cells[0x03]]));
  check('and the grid\'s active descendant',
        (await page.$eval('#memory', (e) => e.getAttribute('aria-activedescendant'))) === 'memory-19');

  // The names of the other grids' cells, the listbox and the live regions.
  const named = (selector) => page.$eval(selector, (e) => e.getAttribute('aria-label'));
  for (const [selector, name] of [['#registers-3', 'register R3, 00'], ['#sysregs-0', 'register PC, 00'],
                                  ['#sysregs-1', 'register IR, 0000']]) {
    check(`${selector} is named "${name}"`, (await named(selector)) === name, await named(selector));
  }
  await page.keyboard.press('F8');
  const listbox = await page.accessibility.snapshot({root: await page.$('#disasm'), interestingOnly: false});
  const options = (listbox.children ?? []).filter((n) => n.role === 'option');
  const pcOption = options.find((o) => o.selected);
  check('the disassembly is a listbox of 128 options', listbox.role === 'listbox' && options.length === 128,
        `${listbox.role} ${options.length}`);
  check('its selected option is the PC row and says so', /^ *02: 22,01 +load R2,01.*, program counter$/.test(pcOption?.name ?? ''),
        pcOption?.name);
  check('a label row names its label', options.some((o) => o.name.startsWith('NextChar: 06:')));

  // Silent while running, polite again after; the terminal is a log.
  const live = () => page.evaluate(() => ['status-text', 'output'].map((id) => {
    const e = document.getElementById(id);
    return `${e.getAttribute('role')}:${e.getAttribute('aria-live')}`;
  }).join(' '));
  check('the status bar and the terminal are polite when stopped', (await live()) === 'status:polite log:polite', await live());
  await page.select('#speed', '2');
  await page.click('#run');
  check('and silent while a program runs', (await live()) === 'status:off log:off', await live());
  await page.click('#break');
  check('and polite again after Break', (await live()) === 'status:polite log:polite', await live());

  // axe-core (from npm, locked) in the states source debugging adds.
  const axeSource = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
  await page.addScriptTag({content: axeSource});
  const states = [
    ['with labels, the band and the list focused', () => page.focus('#disasm')],
    ['with a gutter breakpoint', () => page.click('.source-gutter button[data-line="5"]')],
    ['with a changed cell under PC', () => page.evaluate(() => window.orvik.editCell(window.orvik.core.pc(), 0xff))],
    ['while running', () => page.click('#run')],
  ];
  for (const [state, reach] of states) {
    await reach();
    const found = await page.evaluate(async () => {
      const {violations} = await window.axe.run(document, {resultTypes: ['violations']});
      return violations.filter((v) => ['serious', 'critical'].includes(v.impact))
          .map((v) => `${v.id}: ${v.nodes.slice(0, 5).map((n) => n.target.join(' ')).join(', ')}`);
    });
    check(`axe-core finds nothing serious ${state}`, found.length === 0, found.join('; '));
  }
  await page.click('#break');
  check('no errors on the page', errors.length === 0, errors.join('; '));
});
finish();
