// The page as a product of its own, in headless Chromium: its colours (the
// system's dark mode and the remembered switch, axe-core clean in each), its
// sizes (a doubled font setting, 200 % zoom, a phone), use without a network
// through the service worker and a new version replacing its cache, and
// sources shared by #src= and #zsrc= links, broken ones included, and files
// dropped onto the page; the help pages (F1); recent files.
//   node tests/web/page.mjs --site build-web/web/site
import fs from 'node:fs';
import {createRequire} from 'node:module';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';

import {check, finish} from './checks.mjs';
import {serveFolder, startChromium} from './serve.mjs';

const options = {site: ''};
for (let i = 2; i < process.argv.length; i += 2) options[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
if (!options.site) {
  console.error('usage: node page.mjs --site SITE_FOLDER');
  process.exit(2);
}

// A copy of the site, so that a new version of the service worker can be
// written into it.
const site = fs.mkdtempSync(path.join(os.tmpdir(), 'orvik-site-'));
fs.cpSync(path.resolve(options.site), site, {recursive: true});
const server = await serveFolder(site);
const chromium = await startChromium();
const axeSource = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
const errors = [];

// A page in a context of its own (its own storage and service workers).
// Closing a context while its service worker's target goes away can race
// in puppeteer ("Session with given id not found") on a later call: such a
// call is tried again, and a failed close is of no concern to the checks.
async function retried(action) {
  for (let i = 0;; ++i) {
    try {
      return await action();
    } catch (e) {
      if (i === 3 || !/Session with given id not found/.test(String(e))) throw e;
      await new Promise((r) => setTimeout(r, 200));
    }
  }
}
const done = (page) => page.browserContext().close().catch(() => {});
async function freshPage({width = 1280, height = 800, dark = false, storage = {}} = {}) {
  const context = await retried(() => chromium.browser.createBrowserContext());
  const page = await context.newPage();
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.setViewport({width, height});
  await page.emulateMediaFeatures([{name: 'prefers-color-scheme', value: dark ? 'dark' : 'light'}]);
  if (Object.keys(storage).length)
    await page.evaluateOnNewDocument((s) => {
      if (!sessionStorage.getItem('seeded')) {
        for (const [k, v] of Object.entries(s)) localStorage.setItem(k, v);
        sessionStorage.setItem('seeded', '1');
      }
    }, storage);
  return page;
}
const ready = (page) => page.waitForSelector('body[data-ready=true]', {timeout: 10000});
const sourceOf = (page) => page.$eval('#source', (e) => e.value);
const setSource = (page, text) => page.evaluate((t) => {
  const area = document.getElementById('source');
  area.value = t;
  area.dispatchEvent(new Event('input'));
}, text);
async function runHello(page) {
  await page.click('#example-hello');
  await page.waitForFunction(() => document.getElementById('source').value.includes('Hello world !!'));
  await page.click('#assemble');
  await page.click('#run');
  await page.waitForFunction(() => document.getElementById('status-text').textContent === 'Halted', {timeout: 10000})
      .catch(() => {});
  return page.$eval('#output pre', (e) => e.textContent);
}
async function seriousViolations(page) {
  if (!(await page.evaluate(() => 'axe' in window))) await page.addScriptTag({content: axeSource});
  return page.evaluate(async () => {
    const {violations} = await window.axe.run(document, {resultTypes: ['violations']});
    return violations.filter((v) => ['serious', 'critical'].includes(v.impact))
        .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
  });
}
// The lightness (0-255, mean of the channels) of an element's background.
const groundOf = (page, selector) => page.$eval(selector, (e) => {
  const [r, g, b] = getComputedStyle(e).backgroundColor.match(/\d+/g).map(Number);
  return (r + g + b) / 3;
});

try {
  // --- Colours: the system's choice unless the student picked one.
  const colourCases = [
    {system: 'light', stored: null, dark: false},
    {system: 'dark', stored: null, dark: true},
    {system: 'dark', stored: 'light', dark: false},
    {system: 'light', stored: 'dark', dark: true},
  ];
  for (const {system, stored, dark} of colourCases) {
    const name = `system ${system}, chosen ${stored ?? 'nothing'}`;
    const page = await freshPage({dark: system === 'dark', storage: stored ? {'orvik.theme': stored} : {}});
    await page.goto(server.url);
    await ready(page);
    const ground = await groundOf(page, '#memory');
    check(`${name}: the grid's ground is ${dark ? 'dark' : 'light'}`, dark ? ground < 80 : ground > 200, String(ground));
    check(`${name}: the switch shows the choice`, (await page.$eval('#theme', (e) => e.value)) === (stored ?? 'system'));
    const output = await runHello(page);
    check(`${name}: Hello World runs`, output.includes('Hello world !!'));
    // A memory edit leaves a changed cell, the status says Halted: both coloured.
    await page.click('#memory .cell[data-index="240"]');
    await page.keyboard.type('4f');
    await page.keyboard.press('Enter');
    const found = await seriousViolations(page);
    check(`${name}: axe-core finds nothing serious after a run`, found.length === 0, found.join('; '));
    await done(page);
  }
  {
    const page = await freshPage();
    await page.goto(server.url);
    await ready(page);
    await page.select('#theme', 'dark');
    check('choosing Dark darkens the page at once', (await groundOf(page, '#memory')) < 80);
    await page.reload();
    await ready(page);
    check(
        'the choice is remembered over a reload',
        (await page.$eval('#theme', (e) => e.value)) === 'dark' && (await groundOf(page, '#memory')) < 80);
    await done(page);
  }

  // --- Sizes: a doubled font setting scales the page; at 200 % zoom (half
  // the CSS width) and on a phone nothing sticks out sideways, no label is
  // cut, and every command stays on screen.
  const sizeCases = [
    {name: 'font setting doubled', width: 1280, height: 800, font: 32},
    {name: '200 % zoom', width: 640, height: 400, font: 16},
    {name: 'a phone, 390 x 844', width: 390, height: 844, font: 16, tap: 24},
  ];
  let normalCell = 0;
  for (const {name, width, height, font, tap} of sizeCases) {
    const page = await freshPage({width, height});
    if (font !== 16) {
      const session = await page.createCDPSession();
      await session.send('Page.setFontSizes', {fontSizes: {standard: font, fixed: Math.round(font * 13 / 16)}});
    }
    await page.goto(server.url);
    await ready(page);
    const layout = await page.evaluate(() => {
      const wide = document.scrollingElement.scrollWidth;
      const commands = [...document.querySelectorAll('.buttons button, .buttons select, .toolbar button')];
      const outside = commands.filter((e) => {
        const r = e.getBoundingClientRect();
        return r.left < 0 || r.right > innerWidth + 0.5;
      });
      const cut = commands.filter((e) => e.scrollWidth > e.clientWidth + 1 || e.scrollHeight > e.clientHeight + 1);
      const cell = document.querySelector('#memory .cell').getBoundingClientRect();
      const row = document.querySelector('#disasm .row').getBoundingClientRect();
      return {wide, outside: outside.map((e) => e.id), cut: cut.map((e) => e.id), cell: [cell.width, cell.height],
              row: row.height};
    });
    check(`${name}: no sideways scrolling`, layout.wide <= width, `${layout.wide} > ${width}`);
    check(`${name}: every command is on screen`, layout.outside.length === 0, layout.outside.join(' '));
    check(`${name}: no command's label is cut`, layout.cut.length === 0, layout.cut.join(' '));
    if (font === 16 && !tap) normalCell = layout.cell[1];
    if (font !== 16) check(`${name}: the cells grow with the font`, layout.cell[1] >= 30, String(layout.cell));
    if (tap)
      check(
          `${name}: cells and rows big enough to tap`,
          layout.cell[0] >= tap - 0.5 && layout.cell[1] >= tap - 0.5 && layout.row >= tap - 0.5,
          JSON.stringify(layout));
    await done(page);
  }
  void normalCell;

  // --- Offline: after one visit the service worker serves the whole page.
  {
    const page = await freshPage();
    await page.goto(server.url);
    await ready(page);
    await page.evaluate(async () => {
      await navigator.serviceWorker.ready;
      while (!navigator.serviceWorker.controller) await new Promise((r) => setTimeout(r, 50));
    });
    await page.setOfflineMode(true);
    await page.reload();
    const loaded = await ready(page).then(() => true, () => false);
    check('offline, the page reloads and becomes interactive', loaded);
    if (loaded) {
      const output = await runHello(page);
      check('offline, Hello World loads, assembles and runs', output.includes('Hello world !!'), output);
      await page.click('#help');
      await page.waitForFunction(() => document.getElementById('help-page').textContent.length > 100, {timeout: 5000})
          .catch(() => {});
      check('offline, the help pages are there', (await page.$eval('#help-page', (e) => e.textContent)).length > 100);
      await page.keyboard.press('Escape');
    }
    await page.setOfflineMode(false);
    const cachesNow = () => page.evaluate(() => caches.keys());
    const first = await cachesNow();
    check('one cache, of this version', first.length === 1 && first[0].startsWith('orvik-'), first.join(' '));
    // A new version: the browser finds a changed sw.js, installs it and drops
    // the old cache.
    const worker = path.join(site, 'sw.js');
    const text = fs.readFileSync(worker, 'utf8');
    fs.writeFileSync(worker, text.replace(/const Version = '[^']*'/, "const Version = 'next'"));
    await page.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => r.update()));
    await page.waitForFunction(async () => {
      const keys = await caches.keys();
      return keys.length === 1 && keys[0] === 'orvik-next';
    }, {timeout: 10000, polling: 100}).catch(() => {});
    const after = await cachesNow();
    check('a new version replaces the old cache', after.length === 1 && after[0] === 'orvik-next', after.join(' '));
    fs.writeFileSync(worker, text);
    await done(page);
  }

  // --- Share links.
  const short = '        load  R1,1\n; é and ü\n        halt\n';
  let long = '';
  for (let i = 0; long.length <= 3000; ++i) long += `        load  R${(i % 16).toString(16).toUpperCase()},${i % 256}\n`;
  const shareCases = [
    {name: 'a short source', text: short, prefix: '#src=', decode: (b) => b},
    {name: 'a long source', text: long, prefix: '#zsrc=', decode: (b) => zlib.inflateRawSync(b)},
  ];
  for (const {name, text, prefix, decode} of shareCases) {
    const page = await freshPage();
    await page.goto(server.url);
    await ready(page);
    await setSource(page, text);
    await page.click('#share');
    await page.waitForFunction(() => location.hash.length > 1);
    const hash = await page.evaluate(() => location.hash);
    const payload = hash.slice(prefix.length);
    check(`${name}: Share writes ${prefix}`, hash.startsWith(prefix) && !/[=+/]/.test(payload), hash.slice(0, 40));
    const bytes = hash.startsWith(prefix) ? decode(Buffer.from(payload, 'base64url')) : Buffer.alloc(0);
    check(`${name}: the link holds the source's UTF-8 bytes`, Buffer.from(text, 'utf8').equals(Buffer.from(bytes)));
    // Opened elsewhere, where nothing was typed: the source is simply there.
    const other = await freshPage();
    await other.goto(server.url + hash);
    await ready(other);
    await other.waitForFunction((t) => document.getElementById('source').value === t, {timeout: 5000}, text)
        .catch(() => {});
    check(`${name}: opening the link loads the source`, (await sourceOf(other)) === text);
    check(`${name}: the address drops the link once loaded`, (await other.evaluate(() => location.hash)) === '');
    await done(other);
    await done(page);
  }
  {
    // Over a typed, unsaved source the link asks first; Cancel keeps it.
    const page = await freshPage();
    await page.goto(server.url);
    await ready(page);
    await setSource(page, '; mine\n');
    await page.evaluate((h) => (location.hash = h), '#src=' + Buffer.from(short).toString('base64url'));
    await page.waitForSelector('#ask-dialog[open]', {timeout: 5000}).catch(() => {});
    const question = await page.$eval('#ask-text', (e) => e.textContent);
    check('a link over a modified source asks first', question.startsWith('Assembly File Changed.'), question);
    await page.click('#ask-buttons button[value=Cancel]').catch(() => {});
    check('Cancel keeps the typed source', (await sourceOf(page)) === '; mine\n');
    await done(page);
  }
  const brokenCases = [
    {name: 'bad base64', hash: '#src=ab$d', says: 'not base64url'},
    {name: 'a cut base64', hash: '#src=abcde', says: 'not base64url'},
    {name: 'bad deflate', hash: '#zsrc=' + Buffer.from('not deflated at all').toString('base64url'), says: 'damaged'},
    {name: 'bytes that are not UTF-8', hash: '#src=' + Buffer.from([0x6c, 0xff, 0xfe]).toString('base64url'),
     says: 'not UTF-8'},
  ];
  for (const {name, hash, says} of brokenCases) {
    const kept = '; kept\n';
    const page = await freshPage({storage: {'orvik.source': kept}});
    await page.goto(server.url + hash);
    await ready(page);
    await page.waitForSelector('#ask-dialog[open]', {timeout: 5000}).catch(() => {});
    const message = await page.$eval('#ask-text', (e) => e.textContent);
    check(`${name}: the page says the link is broken`, message.includes(says) && /cannot be read/.test(message), message);
    check(`${name}: the editor keeps its text`, (await sourceOf(page)) === kept, await sourceOf(page));
    await done(page);
  }
  // --- Help: F1 shows the desktop's own help pages, in both colours.
  const helpFolder = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../../src/desktop/help');
  // The first sentence of a help file, as the page shows it (tags dropped).
  const firstWords = (name) =>
      fs.readFileSync(path.join(helpFolder, `${name}.html`), 'utf8').replace(/<[^>]*>/g, '').trim().slice(0, 60);
  const helpTopics = [
    {name: 'instructions', title: 'Orvik Simulator instructions'},
    {name: 'syntax', title: 'Orvik Assembler syntax'},
  ];
  for (const dark of [false, true]) {
    const page = await freshPage({dark});
    await page.goto(server.url);
    await ready(page);
    await page.keyboard.press('F1');
    await page.waitForSelector('#help-dialog[open]', {timeout: 5000}).catch(() => {});
    check(`F1 opens the help (${dark ? 'dark' : 'light'})`, await page.$eval('#help-dialog', (e) => e.open));
    for (const {name, title} of helpTopics) {
      await page.click(`#help-topics button[value=${name}]`).catch(() => {});
      const words = firstWords(name);
      await page.waitForFunction((w) => document.getElementById('help-page').textContent.includes(w), {timeout: 5000},
                                 words).catch(() => {});
      check(`the help shows "${title}" from its file`,
            (await page.$eval('#help-title', (e) => e.textContent)) === title &&
                (await page.$eval('#help-page', (e) => e.textContent)).includes(words));
      const found = await seriousViolations(page);
      check(`axe-core finds nothing serious in "${title}" (${dark ? 'dark' : 'light'})`, found.length === 0,
            found.join('; '));
    }
    await page.keyboard.press('Escape');
    check('Escape closes the help', !(await page.$eval('#help-dialog', (e) => e.open)));
    await done(page);
  }

  // --- Files dropped onto the page open as Open opens them.
  const golden = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../golden');
  const goldenFile = (name) => ({name: path.basename(name), bytes: [...fs.readFileSync(path.join(golden, name))]});
  const hello = goldenFile('hello/hello.prg');
  const forms = goldenFile('assemble_clean/forms.asm');
  const dropCases = [
    {name: 'a program file', files: [hello], memory: hello.bytes[8], title: 'Orvik Simulator - hello.prg'},
    {name: 'a source', files: [forms], source: Buffer.from(forms.bytes).toString('latin1').replace(/\r\n?/g, '\n')},
    {name: 'a short program file', files: [goldenFile('short_file/short.prg')], memory: 0, says: 'Stream read error'},
    {name: 'two files', files: [hello, forms], memory: hello.bytes[8], says: 'Only one file can be opened at a time'},
  ];
  for (const {name, files, memory, title, source, says} of dropCases) {
    const page = await freshPage();
    await page.goto(server.url);
    await ready(page);
    const before = await sourceOf(page);
    await page.evaluate((list) => {
      const transfer = new DataTransfer();
      for (const f of list) transfer.items.add(new File([new Uint8Array(f.bytes)], f.name));
      const target = document.getElementById('memory');
      const over = new DragEvent('dragover', {dataTransfer: transfer, bubbles: true, cancelable: true});
      target.dispatchEvent(over);
      window.dropRefused = !over.defaultPrevented;
      target.dispatchEvent(new DragEvent('drop', {dataTransfer: transfer, bubbles: true, cancelable: true}));
    }, files);
    check(`${name}: the page takes the drop`, !(await page.evaluate(() => window.dropRefused)));
    if (says) {
      await page.waitForSelector('#ask-dialog[open]', {timeout: 5000}).catch(() => {});
      const message = await page.$eval('#ask-text', (e) => e.textContent);
      check(`${name}: the page says "${says}"`, message.startsWith(says), message);
    } else
      await new Promise((r) => setTimeout(r, 300));
    if (memory !== undefined) {
      const cell = await page.evaluate(() => window.orvik.core.cell(2));
      check(`${name}: memory holds what the file holds`, cell === memory, String(cell));
    }
    if (title) check(`${name}: the title names the file`, (await page.title()) === title, await page.title());
    const now = await sourceOf(page);
    check(`${name}: the editor shows ${source ? "the file's text" : 'what it showed'}`, now === (source ?? before));
    await done(page);
  }

  // --- Recent files: what was opened, newest first, opens again after a
  // reload as Open would open it.
  {
    const page = await freshPage();
    await page.goto(server.url);
    await ready(page);
    const drop = (list) => page.evaluate((l) => {
      const transfer = new DataTransfer();
      for (const f of l) transfer.items.add(new File([new Uint8Array(f.bytes)], f.name));
      document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: transfer, bubbles: true, cancelable: true}));
    }, list);
    const recentNames = () => page.$$eval('#recent option', (l) => l.slice(1).map((o) => o.textContent));
    check('no recent files at first', (await recentNames()).length === 0 && (await page.$eval('#recent', (e) => e.disabled)));
    await drop([hello]);
    await page.waitForFunction(() => document.title.endsWith('hello.prg'), {timeout: 5000}).catch(() => {});
    await drop([forms]);
    await page.waitForFunction(() => document.querySelectorAll('#recent option').length === 3, {timeout: 5000})
        .catch(() => {});
    await drop([hello]);
    await page.waitForFunction(() => document.querySelector('#recent option:nth-child(2)')?.textContent === 'hello.prg',
                               {timeout: 5000}).catch(() => {});
    check('the recent files, newest first, each once', JSON.stringify(await recentNames()) ===
          JSON.stringify(['hello.prg', 'forms.asm']), JSON.stringify(await recentNames()));
    await page.evaluate(() => window.orvik.core.clearMemory(0, 255));
    await setSource(page, '');
    await page.reload();
    await ready(page);
    const reopenCases = [
      {name: 'forms.asm', opened: async () => (await sourceOf(page)) === Buffer.from(forms.bytes).toString('latin1')
          .replace(/\r\n?/g, '\n')},
      {name: 'hello.prg', opened: async () => (await page.evaluate(() => window.orvik.core.cell(2))) === hello.bytes[8]},
    ];
    for (const {name, opened} of reopenCases) {
      const index = (await recentNames()).indexOf(name);
      await page.select('#recent', String(index));
      // A changed memory or source asks first, as Open does.
      const asked = await page.waitForSelector('#ask-dialog[open]', {timeout: 1000}).catch(() => null);
      if (asked) await page.click('#ask-buttons button[value=No]');
      await page.waitForFunction(() => true);
      await new Promise((r) => setTimeout(r, 300));
      check(`${name} opens again from the recent files after a reload`, await opened());
    }
    await done(page);
  }

  check('no script errors', errors.length === 0, errors.join('; '));
} finally {
  await chromium.close();
  server.close();
  fs.rmSync(site, {recursive: true, force: true});
}
finish();
