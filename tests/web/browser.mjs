// The page in headless Chromium, driven as a student would: load the Hello
// World example, assemble, run, read the terminal; a breakpoint, Step Back,
// a memory edit, an assembly error, and a reload that keeps source and memory.
//   node tests/web/browser.mjs --site build-web/web/site [--shot FILE]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import {check, finish} from './checks.mjs';
import {serveFolder, startChromium} from './serve.mjs';

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
  const page = await chromium.browser.newPage();
  await page.setViewport({width: 1280, height: 800});
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.goto(server.url);
  await page.waitForSelector('body[data-ready=true]', {timeout: 10000});

  const text = (selector) => page.$eval(selector, (e) => e.textContent);
  const cell = (grid, i) => page.$eval(`#${grid} .cell:nth-child(${i + 1})`, (e) => e.textContent);
  const status = () => text('#status-text');
  // The dialog's close event, which carries out the Clear, comes a task
  // after the click: wait (a while at most) for PC to read 00, as both uses
  // expect; the checks that follow say whether it did.
  const pressClearOk = async () => {
    await page.click('#clear-dialog button[value=ok]');
    await page.waitForFunction(() => document.querySelector('#sysregs .cell').textContent === '00', {timeout: 5000})
        .catch(() => {});
  };
  const waitStatus = (wanted) =>
      page.waitForFunction((w) => document.getElementById('status-text').textContent === w, {timeout: 10000}, wanted);

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
  check('the stopped run says Ready', (await status()) === 'Ready', await status());
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

  // A memory cell edited in place.
  await page.click('#memory .cell:nth-child(241)');
  check('clicking a cell shows its address', (await text('#status-address')) === 'Address: 240');
  await page.keyboard.type('4f');
  await page.keyboard.press('Enter');
  check('the edited cell shows the new value', (await cell('memory', 240)) === '4F', await cell('memory', 240));
  check('the edit marks memory modified', (await text('#status-modified')) === 'Modified');
  check(
      'the edited cell is the changed one',
      await page.$eval('#memory .cell:nth-child(241)', (e) => e.classList.contains('changed')));
  check('the core holds the edit', (await page.evaluate(() => window.orvik.core.cell(240))) === 0x4f);
  await page.click('#memory .cell:nth-child(33)');
  await page.keyboard.down('Shift');
  await page.click('#memory .cell:nth-child(48)');
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
  await openFile(path.join(golden, 'short_file/short.prg'), async () => (question = await answer('No')));
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
  await page.click('#memory .cell:nth-child(241)');
  await page.keyboard.type('4f');
  await page.keyboard.press('Enter');
  await page.click('#registers .cell:nth-child(4)');
  await page.keyboard.type('2a');
  await page.keyboard.press('Enter');
  await page.click('#sysregs .cell:nth-child(1)');
  await page.keyboard.type('06');
  await page.keyboard.press('Enter');

  // A reload keeps the source and the memory.
  await page.waitForFunction(() => true);
  await new Promise((r) => setTimeout(r, 400));
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
  check('no script errors', errors.length === 0, errors.join('; '));
} finally {
  await chromium.close();
  server.close();
}
finish();
