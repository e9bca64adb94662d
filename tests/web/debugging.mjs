// Source-level debugging on the page, driven in headless Chromium as a
// student would: the band on the line that runs next after each kind of
// stop, a breakpoint set in the editor's gutter on a comment line that
// stops the run on the next line with code, the label names in the
// disassembly list and the list following PC, and a core that cannot be
// fetched.
//   node tests/web/debugging.mjs --site build-web/web/site
import fs from 'node:fs';
import path from 'node:path';

import {check, finish} from './checks.mjs';
import {openPage, serveFolder, startChromium} from './serve.mjs';

const site = process.argv[process.argv.indexOf('--site') + 1];
if (!site || process.argv.indexOf('--site') < 0) {
  console.error('usage: node debugging.mjs --site SITE_FOLDER');
  process.exit(2);
}

// Comment lines before and inside the code, data after it.
const Source = [
  '; prints "ab"',            // 1
  'Start:  load R1,Text',     // 2  00
  '        load R2,1',        // 3  02
  '        load R0,0',        // 4  04
  '; the loop',               // 5
  'Next:   load RF,[R1]',     // 6  06
  '        addi R1,R1,R2',    // 7  08
  '        jmpEQ RF=R0,Done', // 8  0A
  '        jmp Next',         // 9  0C
  'Done:   halt',             // 10 0E
  'Text:   db "ab",0',        // 11 10
].join('\n');

const server = await serveFolder(path.resolve(site));
const chromium = await startChromium();
try {
  const errors = [];
  const page = await openPage(chromium, server, errors);
  await page.evaluate((text) => {
    const area = document.getElementById('source');
    area.focus();
    area.select();
    document.execCommand('insertText', false, text);
  }, Source);
  await page.click('#assemble');
  check('the source assembles', (await page.$$('#error-list li')).length === 0);

  // Which line the band covers, from where it is drawn over the text.
  const band = () => page.evaluate(() => {
    const band = document.querySelector('.current-line');
    if (!band || band.hidden) return 'none';
    const area = document.getElementById('source');
    const style = getComputedStyle(area);
    const line = Math.round((parseFloat(band.style.top) + area.scrollTop - parseFloat(style.paddingTop)) /
                            parseFloat(style.lineHeight)) + 1;
    return `${band.classList[1]} ${line}`;
  });
  const pc = () => page.$eval('#sysregs .cell', (e) => e.textContent);
  const setPC = (value) => page.evaluate((v) => {
    window.orvik.core.setPC(v);
    window.orvik.refresh();
  }, value);
  const runToStop = async () => {
    await page.click('#run');
    await page.waitForFunction(() => !document.getElementById('run').disabled, {timeout: 10000});
  };

  const status = () => page.$eval('#status-text', (e) => e.textContent);
  const cancelClear = async () => {
    await page.click('#clear');
    await page.waitForSelector('#clear-dialog[open]');
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => !document.querySelector('dialog[open]'));
  };

  // Each action, then the band (its kind and its line) and the status bar's
  // words, the window's (null: not the action's to say).
  const steps = [
    ['assembled', async () => {}, 'code 2', null],
    ['Step', () => page.click('#step'), 'code 3', 'Ready'],
    ['F8', () => page.keyboard.press('F8'), 'code 4', 'Ready'],
    ['Step over a comment line', () => page.click('#step'), 'code 6', 'Ready'],
    ['Step Back', () => page.click('#step-back'), 'code 4', 'Stepped back: 2 steps back available'],
    // A halt leaves PC after it, where nothing runs next: the band stays on
    // the halt, as in the window.
    ['run to the halt', runToStop, 'code 10', 'Halted'],
    ['PC on the data', () => setPC(0x12), 'data 11', null],
    // 00 00 is invalid; PC goes past it, to a cell no line put there.
    ['an invalid instruction', () => page.click('#step'), 'none', 'Invalid instruction'],
    ['Clear cancelled', cancelClear, 'none', 'Invalid instruction'],
    ['PC on a cell changed since assembling', async () => {
      await setPC(0x02);
      await page.evaluate(() => window.orvik.editCell(0x02, 0xff));
    }, 'stale 3', null],
    ['the change undone', () => page.evaluate(() => window.orvik.editCell(0x02, 0x22)), 'code 3', null],
    ['a program file opened (no source)', () => page.evaluate(() => {
      window.orvik.core.loadCells(new Array(256).fill(0));
      window.orvik.refresh(true);
    }), 'none', null],
  ];
  for (const [name, act, wanted, words] of steps) {
    await act();
    const got = await band();
    check(`the band after ${name} is ${wanted}`, got === wanted, `${got}, PC ${await pc()}`);
    if (words !== null) check(`the status after ${name} says "${words}"`, (await status()) === words, await status());
  }

  // Assemble, answering No when it asks to save the edited memory first.
  const assemble = async () => {
    await page.click('#assemble');
    if (await page.waitForSelector('#ask-dialog[open]', {timeout: 300}).catch(() => null))
      await page.click('#ask-buttons button[value=No]');
    await page.waitForFunction(() => !document.querySelector('dialog[open]'));
  };
  // The gutter on the comment line 5: the breakpoint goes to line 6 (06).
  await assemble();
  const dots = () => page.$$eval('.source-gutter button.on', (l) => l.map((b) => Number(b.dataset.line)));
  await page.click('.source-gutter button[data-line="5"]');
  check('a breakpoint on a comment line shows on the next code line', JSON.stringify(await dots()) === '[6]',
        JSON.stringify(await dots()));
  check('the gutter button is named and pressed',
        await page.$eval('.source-gutter button[data-line="6"]',
                         (b) => b.getAttribute('aria-label') === 'Breakpoint on line 6' &&
                             b.getAttribute('aria-pressed') === 'true'));
  check('the disassembly margin shows it at 06',
        await page.$eval('#disasm .row:nth-child(4)', (e) => e.classList.contains('breakpoint')));
  await runToStop();
  check('the run stops at the bound line', (await pc()) === '06' && (await band()) === 'code 6',
        `${await pc()} ${await band()}`);
  check('the status says where, as the window does', (await status()) === 'Breakpoint at 06', await status());
  // Lines added above it: the next Assemble binds it where its line went.
  await page.evaluate(() => {
    const area = document.getElementById('source');
    area.focus();
    area.setSelectionRange(0, 0);
    document.execCommand('insertText', false, '; two\n; more\n');
  });
  await assemble();
  check('after lines above and Assemble the dot follows its line', JSON.stringify(await dots()) === '[8]',
        JSON.stringify(await dots()));
  // F2 in the text on the dot's line clears it, here and in the margin.
  await page.evaluate(() => {
    const area = document.getElementById('source');
    area.focus();
    const start = area.value.split('\n').slice(0, 7).join('\n').length + 1;
    area.setSelectionRange(start, start);
  });
  await page.keyboard.press('F2');
  check('F2 on the dot\'s line clears it', JSON.stringify(await dots()) === '[]', JSON.stringify(await dots()));
  check('the margin is cleared too',
        !(await page.$eval('#disasm .row:nth-child(4)', (e) => e.classList.contains('breakpoint'))));

  // Labels beside the rows they mark; a jump's title names its target.
  const row = (adr) => page.$eval(`#disasm .row:nth-child(${adr / 2 + 1})`,
                                  (e) => [e.querySelector('.label').textContent, e.title || '']);
  for (const [adr, label, title] of [[0x00, 'Start:', ''], [0x06, 'Next:', ''], [0x0a, '', 'Jumps to Done'],
                                     [0x0c, '', 'Jumps to Next'], [0x02, '', '']]) {
    const got = await row(adr);
    check(`disassembly row ${adr.toString(16)} shows "${label}" titled "${title}"`,
          got[0] === label && got[1] === title, JSON.stringify(got));
  }
  // The list follows PC with the PC row fourth from the top, also after the
  // student scrolled it elsewhere, to the same place as before.
  const follow = async (pc, scrollFirst) => page.evaluate(async (pc, scrollFirst) => {
    const list = document.getElementById('disasm');
    if (scrollFirst !== null) {
      list.scrollTop = scrollFirst;
      await new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0)));
    }
    window.orvik.core.setPC(pc);
    window.orvik.refresh();
    const height = list.querySelector('.row').offsetHeight;
    return Math.round(list.scrollTop / height);
  }, pc, scrollFirst);
  for (const [pc, scrollFirst, rows] of [[0x40, null, 29], [0x42, null, 30], [0x04, null, 0], [0x40, null, 29],
                                         [0x41, 0, 29], [0x43, 900, 30], [0x00, 200, 0]]) {
    const got = await follow(pc, scrollFirst);
    check(`PC ${pc.toString(16)}${scrollFirst === null ? '' : ` after a scroll to ${scrollFirst}`}: the list ` +
          `shows ${rows} rows above the top`, got === rows, String(got));
  }
  // Narrow, the rows are taller: the PC row keeps its place.
  await follow(0x40, null);
  await page.setViewport({width: 390, height: 844});
  const narrow = await page.evaluate(async () => {
    await new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0)));
    const list = document.getElementById('disasm');
    return Math.round(list.scrollTop / list.querySelector('.row').offsetHeight);
  });
  check('narrow, the list still shows 29 rows above the top', narrow === 29, String(narrow));
  await page.setViewport({width: 1280, height: 800});

  // A row is disassembled again when one of its two bytes changes, and
  // only then.
  const rowText = () => page.$eval('#disasm .row:nth-child(9) .text', (e) => e.textContent);
  const before = await rowText();
  for (const [what, adr, value, shows] of [['its first byte', 0x10, 0xc0, /^10: +C0,62 +/],
                                           ['its second byte', 0x11, 0x00, /^10: +C0,00 +halt/],
                                           ['a byte of the next row', 0x12, 0xc0, /^10: +C0,00 +halt/]]) {
    await page.evaluate((adr, value) => window.orvik.editCell(adr, value), adr, value);
    const got = await rowText();
    check(`an edit of ${what} shows in the row`, shows.test(got), `${before} -> ${got}`);
  }
  check('no errors on the page', errors.length === 0, errors.join('; '));

  // The core as a host may serve it: a type other than application/wasm
  // still loads (compiled from the whole file); a missing core is said in
  // the status bar, on a page that shows, not a blank one. Each in a context
  // of its own, where no service worker has the core.
  const wasmBytes = fs.readFileSync(path.join(path.resolve(site), 'orvik-core.wasm'));
  for (const [what, answer, wanted] of [
           ['served as application/octet-stream', {status: 200, contentType: 'application/octet-stream', body: wasmBytes},
            ['Ready', true, 'true']],
           ['missing', {status: 404, body: ''},
            ['The simulator could not be loaded: orvik-core.wasm: 404 Not Found', true, undefined]]]) {
    const context = await chromium.browser.createBrowserContext();
    const other = await context.newPage();
    await other.setRequestInterception(true);
    other.on('request', (r) => (r.url().endsWith('.wasm') ? r.respond(answer) : r.continue()));
    await other.goto(server.url);
    await other.waitForFunction(() => document.body.dataset.ready || document.getElementById('status-text').textContent !== 'Ready',
                                {timeout: 10000}).catch(() => {});
    const shown = await other.evaluate(() => [document.getElementById('status-text').textContent,
                                              document.getElementById('main-window').offsetHeight > 0,
                                              document.body.dataset.ready]);
    check(`a core ${what}: ${wanted[0]}`, JSON.stringify(shown) === JSON.stringify(wanted), JSON.stringify(shown));
    await context.close();
  }
} finally {
  await chromium.close();
  server.close();
}
finish();
