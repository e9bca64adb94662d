// The page in headless Chromium, driven as a student would: load the Hello
// World example, assemble, run, read the terminal; a breakpoint, Step Back,
// a memory edit, an assembly error, and a reload that keeps source, memory
// and terminal; the command keys, which a modal question holds back, Tab in
// the source, axe-core in each of these states, and a second tab that never
// writes over the first one's source unasked.
//   node tests/web/browser.mjs --site build-web/web/site [--shot FILE]
import fs from 'node:fs';
import {createRequire} from 'node:module';
import os from 'node:os';
import path from 'node:path';

import {check, finish} from './checks.mjs';
import {openPage, serveFolder, startChromium} from './serve.mjs';

const options = {
  site: '',
  shot: ''
};
for (let i = 2; i < process.argv.length; i += 2) options[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
if (!options.site) {
  console.error('usage: node browser.mjs --site SITE_FOLDER [--shot FILE.png]');
  process.exit(2);
}


const server = await serveFolder(path.resolve(options.site));
const chromium = await startChromium();
try {
  const errors = [];
  const page = await openPage(chromium, server, errors);

  const text = (selector) => page.$eval(selector, (e) => e.textContent);
  const cell = (grid, i) => page.$eval(`#${grid} .cell[data-index="${i}"]`, (e) => e.textContent);
  const status = () => text('#status-text');
  // The dialog's close event, which carries out the Clear, comes a task
  // after the click: wait (a while at most) for PC to read 00, as both uses
  // expect; the checks that follow say whether it did.
  const pressClearOk = async () => {
    await page.click('#clear-dialog button[value=ok]');
    await page.waitForFunction(() => document.querySelector('#sysregs .cell').textContent === '00', {timeout: 5000})
        .catch(() => {});
  };
  // axe-core from npm (locked), injected again after a reload: no serious or
  // critical violation, and the page has its main landmark and its h1.
  const axeSource = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
  const axeClean = async (state) => {
    if (!(await page.evaluate(() => 'axe' in window))) await page.addScriptTag({content: axeSource});
    const found = await page.evaluate(async () => {
      const {violations} = await window.axe.run(document, {resultTypes: ['violations']});
      return violations
          .filter(
              (v) => ['serious', 'critical'].includes(v.impact) ||
                  ['landmark-one-main', 'page-has-heading-one'].includes(v.id))
          .map((v) => `${v.id} (${v.impact}): ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
    });
    check(`axe-core finds nothing serious ${state}`, found.length === 0, found.join('; '));
  };
  // What a command key would change: PC, registers, output, the trace.
  const machine = () => page.evaluate(() => {
    const core = window.orvik.core;
    return JSON.stringify(
        [core.pc(), [...Array(16).keys()].map((n) => core.register(n)), core.outputCount(), core.trace()]);
  });
  const pressWith = async (modifiers, key) => {
    for (const m of modifiers) await page.keyboard.down(m);
    await page.keyboard.press(key);
    for (const m of [...modifiers].reverse()) await page.keyboard.up(m);
  };
  // While a modal question is open, no command key reaches the machine.
  const keysIgnored = async (state) => {
    const before = await machine();
    for (const [modifiers, key] of [[[], 'F8'], [['Shift'], 'F8'], [[], 'F9'], [['Control'], 'F9']]) {
      await pressWith(modifiers, key);
      await new Promise((r) => setTimeout(r, 50));
      check(`${modifiers.concat(key).join('+')} does nothing ${state}`, (await machine()) === before, await machine());
    }
  };
  const waitStatus = (wanted) =>
      page.waitForFunction((w) => document.getElementById('status-text').textContent === w, {timeout: 10000}, wanted);

  await axeClean('after load');

  // Hello World, one click away, assembled and run.
  await page.click('#example-hello');
  await page.waitForFunction(() => document.getElementById('source').value.includes('Hello world !!'));
  check(
      'the example\'s highlighting marks the mnemonic bold',
      (await page.$$eval('#highlight .hs-keyword', (l) => l.map((e) => e.textContent))).includes('load'));
  await page.click('#assemble');
  check('the example assembles without errors', (await page.$$('#error-list li')).length === 0);
  check(
      'the image is in memory (load R1,Text at 00)',
      (await cell('memory', 0)) === '21' && (await cell('memory', 1)) === '10');
  await page.click('#run');
  await waitStatus('Halted');
  const terminal = await text('#output pre');
  check('the terminal shows "Hello world !!"', terminal.includes('Hello world !!'), JSON.stringify(terminal));
  check('the terminal shows the last line', terminal.includes('Orvik Simulator'), JSON.stringify(terminal));
  await axeClean('after a run');

  // Registers and PC back to 0 (memory kept), a breakpoint on the addi at 08.
  await page.click('#clear');
  await page.click('#clear-memory');
  await pressClearOk();
  check('Clear without memory zeroes PC', (await cell('sysregs', 0)) === '00');
  await page.click('#disasm .row:nth-child(5) .gutter');
  check(
      'the gutter marks the breakpoint',
      await page.$eval('#disasm .row:nth-child(5)', (e) => e.classList.contains('breakpoint')));
  await page.click('#run');
  await page.waitForFunction(() => !document.getElementById('run').disabled, {timeout: 10000});
  check('the run stops at the breakpoint', (await cell('sysregs', 0)) === '08', await cell('sysregs', 0));
  check('the stopped run says where it stopped, as the window does', (await status()) === 'Breakpoint at 08', await status());
  check(
      'the PC row is highlighted',
      await page.$eval('#disasm .row:nth-child(5)', (e) => e.classList.contains('selected')));
  check('RF holds the first byte of the text', (await cell('registers', 15)) === '0A', await cell('registers', 15));
  check(
      'the trace says what the last instruction did', /load RF,\[R1\] +RF = .* = 0A, prints code 0A/.test(await text('#trace')),
      await text('#trace'));

  // Step Back undoes the load of RF.
  await page.click('#step-back');
  check('Step Back returns PC to 06', (await cell('sysregs', 0)) === '06', await cell('sysregs', 0));
  check('Step Back restores RF', (await cell('registers', 15)) === '00', await cell('registers', 15));
  await page.click('#step');
  check('Step runs it again', (await cell('sysregs', 0)) === '08' && (await cell('registers', 15)) === '0A');
  // The same with the keys: Shift+F8 back, F8 forward.
  await pressWith(['Shift'], 'F8');
  check(
      'Shift+F8 steps back', (await cell('sysregs', 0)) === '06' && (await cell('registers', 15)) === '00',
      await cell('sysregs', 0));
  await page.keyboard.press('F8');
  check('F8 steps', (await cell('sysregs', 0)) === '08' && (await cell('registers', 15)) === '0A');
  await page.click('#clear');
  await page.waitForSelector('#clear-dialog[open]');
  await keysIgnored('behind the Clear dialog');
  await axeClean('with the Clear dialog open');
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => !document.getElementById('clear-dialog').open);

  // A memory cell edited in place.
  await page.click('#memory .cell[data-index="240"]');
  check('clicking a cell shows its address', (await text('#status-address')) === 'Address: 240');
  await page.keyboard.type('4f');
  await page.keyboard.press('Enter');
  check('the edited cell shows the new value', (await cell('memory', 240)) === '4F', await cell('memory', 240));
  check('the edit marks memory modified', (await text('#status-modified')) === 'Modified');
  check(
      'the edited cell is the changed one',
      await page.$eval('#memory .cell[data-index="240"]', (e) => e.classList.contains('changed')));
  check('the core holds the edit', (await page.evaluate(() => window.orvik.core.cell(240))) === 0x4f);
  await page.click('#memory .cell[data-index="32"]');
  await page.keyboard.down('Shift');
  await page.click('#memory .cell[data-index="47"]');
  await page.keyboard.up('Shift');
  check('a range selection is reported in blue', (await status()) === 'Selected: 32-47', await status());

  await page.evaluate(() => {
    const area = document.getElementById('source');
    area.value = '        halt\nload R1,256\nstore R1,5\n' + area.value;
    area.dispatchEvent(new Event('input'));
  });
  // An assembly with errors: listed, the caret on the first, Next to the second.
  await page.click('#assemble');
  const entries = await page.$$eval('#error-list li', (l) => l.map((e) => e.textContent));
  check(
      'the errors are listed',
      entries[0] === 'line 2: Number larger than 255' && entries[1]?.startsWith('line 3: Cannot store to immediate'),
      JSON.stringify(entries));
  const caret = () => page.$eval('#source', (e) => e.selectionStart);
  // Both columns as orvik-cli reports them (the golden case assemble_errors).
  check('the caret stands at the first error', (await caret()) === 13 + 11, String(await caret()));
  await page.click('#error-next');
  check('Next moves to the second error', (await caret()) === 25 + 9, String(await caret()));
  check('memory is untouched by a failed assembly', (await cell('memory', 240)) === '4F');
  await axeClean('with errors listed');

  // Tab types a tab in the source; Escape then Tab, and Ctrl+Tab, leave it
  // (Shift+Tab and Ctrl+Shift+Tab backwards), and the text says so.
  const source = await page.$eval('#source', (e) => e.value);
  const tabCases = [
    {keys: [[[], 'Tab']], to: 'source'},
    {keys: [[[], 'Escape'], [[], 'Tab']], to: 'error-previous'},
    {keys: [[[], 'Escape'], [[], 'ArrowLeft'], [[], 'Tab']], to: 'source'},
    {keys: [[['Control'], 'Tab']], to: 'error-previous'},
    {keys: [[['Control', 'Shift'], 'Tab']], to: 'assemble'},
    {keys: [[['Shift'], 'Tab']], to: 'assemble'},
  ];
  for (const {keys, to} of tabCases) {
    const name = keys.map(([modifiers, key]) => modifiers.concat(key).join('+')).join(', ');
    await page.$eval('#source', (e) => {
      e.focus();
      e.setSelectionRange(e.value.length, e.value.length);
    });
    for (const [modifiers, key] of keys) await pressWith(modifiers, key);
    const focused = await page.evaluate(() => document.activeElement.id);
    const value = await page.$eval('#source', (e) => e.value);
    if (to === 'source') {
      check(
          `${name} types a tab`, focused === 'source' && value.length === source.length + 1 && value.includes('\t'),
          focused);
      await page.keyboard.press('Backspace');
    } else
      check(`${name} leaves the source for #${to}`, focused === to && value === source, `${focused}, ${value.length}`);
  }
  const hint = await page.$eval(
      '#source', (e) => document.getElementById(e.getAttribute('aria-describedby'))?.textContent ?? '');
  check('the source describes how to leave it', /Escape then Tab/.test(hint) && /Ctrl\+Tab/.test(hint), hint);
  if (options.shot) {
    fs.mkdirSync(path.dirname(options.shot), {recursive: true});
    await page.screenshot({path: options.shot, fullPage: true});
  }


  // Program files through the file picker and a download.
  const hexByte = (b) => b.toString(16).toUpperCase().padStart(2, '0');
  const golden = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../golden');
  // Opens file through the picker; beforeOpen answers the question that
  // comes first, if any.
  const openFile = async (file, beforeOpen = async () => {}) => {
    const chooser = page.waitForFileChooser({timeout: 10000});
    await page.click('#open');
    await beforeOpen();
    await (await chooser).accept([file]);
  };
  const answer = async (caption) => {
    await page.waitForSelector('#ask-dialog[open]');
    const question = await text('#ask-text');
    await page.click(`#ask-buttons button[value=${caption}]`);
    return question;
  };
  let question = '';
  await openFile(path.join(golden, 'short_file/short.prg'), async () => {
    await page.waitForSelector('#ask-dialog[open]');
    await keysIgnored('behind "Memory Changed..."');
    await axeClean('with "Memory Changed..." open');
    question = await answer('No');
  });
  check('a modified memory asks before Open', question.startsWith('Memory Changed.'), question);
  check('a short file is refused with its message', (await answer('OK')) === 'Stream read error');
  check('the refused file leaves memory as it was', (await cell('memory', 240)) === '4F');
  await openFile(path.join(golden, 'hello/hello.prg'));
  await page.waitForFunction(() => document.title === 'Orvik Simulator - hello.prg');
  const expected = fs.readFileSync(path.join(golden, 'hello/hello.prg'));
  check('the program file is in memory', (await cell('memory', 2)) === hexByte(expected[8]));
  check('opening clears Modified', (await text('#status-modified')) === '');
  const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'orvik-downloads-'));
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads});
  await page.evaluate(() => (window.prompt = () => 'copy.prg'));
  await page.click('#save-as');
  const saved = path.join(downloads, 'copy.prg');
  for (let i = 0; i < 50 && !fs.existsSync(saved); ++i) await new Promise((r) => setTimeout(r, 100));
  check(
      'Save As downloads the program file byte for byte',
      fs.existsSync(saved) && fs.readFileSync(saved).equals(expected.subarray(0, 1024)));
  fs.rmSync(downloads, {recursive: true, force: true});
  await page.click('#memory .cell[data-index="240"]');
  await page.keyboard.type('4f');
  await page.keyboard.press('Enter');
  await page.click('#registers .cell[data-index="3"]');
  await page.keyboard.type('2a');
  await page.keyboard.press('Enter');
  await page.click('#sysregs .cell[data-index="0"]');
  await page.keyboard.type('06');
  await page.keyboard.press('Enter');

  // A reload keeps the source and the memory.
  await page.waitForFunction(() => true);
  await new Promise((r) => setTimeout(r, 400));
  const terminalBefore = await text('#output pre');
  await page.reload();
  await page.waitForSelector('body[data-ready=true]', {timeout: 10000});
  check(
      'the source survives a reload',
      (await page.$eval('#source', (e) => e.value)).startsWith('        halt\nload R1,256'));
  const expectedStart = hexByte(fs.readFileSync(path.join(golden, 'hello/hello.prg'))[0]);
  check(
      'memory survives a reload', (await cell('memory', 240)) === '4F' && (await cell('memory', 0)) === expectedStart);
  check('registers survive a reload', (await cell('registers', 3)) === '2A', await cell('registers', 3));
  check('PC survives a reload', (await cell('sysregs', 0)) === '06', await cell('sysregs', 0));
  check(
      'the terminal text survives a reload',
      terminalBefore.includes('Hello world !!') && (await text('#output pre')) === terminalBefore,
      JSON.stringify([terminalBefore, await text('#output pre')]));
  check(
      'the program file name survives a reload', (await page.title()) === 'Orvik Simulator - copy.prg',
      await page.title());
  // The edited source was never saved: an example asks before replacing it.
  await page.click('#example-output');
  check(
      'a changed source asks before an example replaces it',
      (await answer('Cancel')).startsWith('Assembly File Changed.'));
  check('Cancel keeps the source', (await page.$eval('#source', (e) => e.value)).startsWith('        halt'));
  // The main window's Open of a source asks the same question (after the
  // memory's, when memory is modified).
  const memoryModified = (await text('#status-modified')) !== '';
  await openFile(path.join(golden, 'assemble_clean/forms.asm'), async () => {
    if (memoryModified) await answer('No');
  });
  check(
      "the main window's Open of a source asks before replacing it",
      (await answer('Cancel')).startsWith('Assembly File Changed.'));
  check('Cancel there keeps the source too', (await page.$eval('#source', (e) => e.value)).startsWith('        halt'));
  check(
      'the breakpoint survives a reload',
      await page.$eval('#disasm .row:nth-child(5)', (e) => e.classList.contains('breakpoint')));

  // Double-clicking a row moves PC there; Clear with everything checked
  // empties memory and shows it unmodified, with no last-changed cell.
  await page.click('#disasm .row:nth-child(3) .text', {count: 2});
  check('a double click on a row sets PC', (await cell('sysregs', 0)) === '04', await cell('sysregs', 0));
  await page.click('#clear');
  await pressClearOk();
  check('Clear empties memory', (await cell('memory', 240)) === '00' && (await cell('memory', 0)) === '00');
  check('Clear zeroes PC', (await cell('sysregs', 0)) === '00');
  check('a cleared memory is unmodified', (await text('#status-modified')) === '');
  check('a cleared memory shows no changed cell', (await page.$$('#memory .cell.changed')).length === 0);

  // A second tab shares the storage but keeps its own copy of the source:
  // a source written in one tab is offered to the other, never written over
  // it unasked, whichever way the question comes (the storage event, or a
  // write that finds a newer revision).
  const other = await chromium.browser.newPage();
  other.on('pageerror', (e) => errors.push(String(e)));
  await other.goto(server.url);
  await other.waitForSelector('body[data-ready=true]', {timeout: 10000});
  const sourceOf = (tab) => tab.$eval('#source', (e) => e.value);
  const stored = () => page.evaluate(() => localStorage.getItem('orvik.source'));
  const typeInto = (tab, line) => tab.evaluate((l) => {
    const area = document.getElementById('source');
    area.value += l;
    area.dispatchEvent(new Event('input'));
  }, line);
  const askedIn = async (tab) => {
    const open = await tab.waitForSelector('#ask-dialog[open]', {timeout: 5000}).catch(() => null);
    return open ? tab.$eval('#ask-text', (e) => e.textContent) : '';
  };
  // A student answers in the tab in front; the dialog's close event, which
  // carries out the answer, comes only to a visible page.
  const choose = async (tab, caption) => {
    await tab.bringToFront();
    await tab.$$eval('#ask-buttons button', (list, c) => list.find((b) => b.value === c).click(), caption);
    await tab.waitForFunction(() => !window.orvik.conflict, {timeout: 5000, polling: 50});
  };
  const changedElsewhere = 'The source was changed in another tab.';
  check('a second tab opens with the same source', (await sourceOf(other)) === (await sourceOf(page)));
  await typeInto(other, '\n; from the second tab');
  check('a source written in another tab is offered', (await askedIn(page)).startsWith(changedElsewhere));
  await choose(page, "Take the other tab's");
  check(
      "Take the other tab's shows its source",
      (await sourceOf(page)).endsWith('; from the second tab') && (await sourceOf(page)) === (await sourceOf(other)));
  await typeInto(page, '\n; first tab');
  await typeInto(other, '\n; second tab');
  await other.evaluate(() => window.orvik.persist());
  const later = await askedIn(page);
  check('with edits in both tabs, the one not written yet asks', later.startsWith(changedElsewhere), later);
  await new Promise((r) => setTimeout(r, 700));
  check("the other tab's newer source is not written over", (await stored()).endsWith('; second tab'));
  await choose(page, "Keep this tab's");
  check("Keep this tab's writes it", (await stored()).endsWith('; first tab'), (await stored()).slice(-20));
  check('the second tab is asked in turn', (await askedIn(other)).startsWith(changedElsewhere));
  await choose(other, "Take the other tab's");
  check('both tabs end with the kept source', (await sourceOf(other)).endsWith('; first tab'));
  await other.close();
  check('no script errors', errors.length === 0, errors.join('; '));
} finally {
  await chromium.close();
  server.close();
}
finish();
