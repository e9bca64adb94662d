// Exercises on the page, driven in headless Chromium as a student would:
// opened by a link (#exercise=, this site only), by Open and by a drop;
// Check (button and F6) with the shipped exercise's starter, a source with
// an error and the model answer; the hidden cases only counted; Debug this
// case with the line band; the answer kept per exercise across a reload;
// the pane at phone size in dark mode, axe-core clean.
//   node tests/web/exercise.mjs --site build-web/web/site
import fs from 'node:fs';
import {createRequire} from 'node:module';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import {check, finish} from './checks.mjs';
import {serveFolder, siteArgument, startChromium} from './serve.mjs';

const exercises = path.join(path.dirname(fileURLToPath(import.meta.url)), '../../examples/exercises');
const multiply = JSON.parse(fs.readFileSync(path.join(exercises, '03-multiply.json'), 'utf8'));
const addCells = JSON.parse(fs.readFileSync(path.join(exercises, '02-add-cells.json'), 'utf8'));
const model = fs.readFileSync(path.join(exercises, '03-multiply/model.asm'), 'latin1').replace(/\r\n?/g, '\n');
const MultiplyLink = '#exercise=examples/exercises/03-multiply.json';

const server = await serveFolder(siteArgument('exercise.mjs'));
const chromium = await startChromium();
const errors = [];
async function freshPage(hash = '', {width = 1280, height = 800, dark = false} = {}) {
  const context = await chromium.browser.createBrowserContext();
  const page = await context.newPage();
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.setViewport({width, height});
  await page.emulateMediaFeatures([{name: 'prefers-color-scheme', value: dark ? 'dark' : 'light'}]);
  await page.goto(server.url + hash);
  await page.waitForSelector('body[data-ready=true]', {timeout: 10000});
  return page;
}
const done = (page) => page.browserContext().close().catch(() => {});
const text = (page, selector) => page.$eval(selector, (e) => e.textContent);
const texts = (page, selector) => page.$$eval(selector, (l) => l.map((e) => e.textContent));
const paneShows = (page, title) =>
  page.waitForFunction((t) => !document.getElementById('exercise-window').hidden &&
                           document.getElementById('exercise-title').textContent === t, {timeout: 5000}, title)
      .then(() => true, () => false);
const message = async (page) => {
  if (!(await page.waitForSelector('#ask-dialog[open]', {timeout: 5000}).catch(() => null))) return '';
  const words = await text(page, '#ask-text');
  await page.click('#ask-buttons button:last-child');
  return words;
};
const setSource = (page, source) => page.evaluate((t) => {
  const area = document.getElementById('source');
  area.focus();
  area.select();
  document.execCommand('insertText', false, t);
}, source);
// Which line the editor's band covers (see debugging.mjs).
const band = (page) => page.evaluate(() => {
  const band = document.querySelector('.current-line');
  if (!band || band.hidden) return 'none';
  const area = document.getElementById('source');
  const style = getComputedStyle(area);
  return `${band.classList[1]} ${Math.round((parseFloat(band.style.top) + area.scrollTop -
                                             parseFloat(style.paddingTop)) / parseFloat(style.lineHeight)) + 1}`;
});

try {
  // --- links: this site's paths open, another site and a missing file say why.
  const other = server.url.replace('127.0.0.1', 'localhost');
  const links = [
    {name: 'a relative path', hash: MultiplyLink, title: multiply.title, source: multiply.starter},
    {name: 'a path from the root', hash: '#exercise=/examples/exercises/02-add-cells.json', title: addCells.title,
     source: addCells.starter},
    {name: 'another site', hash: `#exercise=${other}examples/exercises/03-multiply.json`,
     says: `This exercise link points to another site (${other.slice(0, -1)}).`},
    {name: 'a missing file', hash: '#exercise=examples/exercises/none.json',
     says: 'The exercise /examples/exercises/none.json cannot be fetched: 404'},
  ];
  for (const {name, hash, title, source, says} of links) {
    const page = await freshPage(hash);
    if (title) {
      check(`a link to ${name} opens the pane`, await paneShows(page, title), await text(page, '#exercise-title'));
      check(`a link to ${name} puts the starter into the editor`,
            (await page.$eval('#source', (e) => e.value)) === source);
    } else {
      const words = await message(page);
      check(`a link to ${name} says so`, words.startsWith(says), words);
      check(`a link to ${name} opens nothing`, await page.$eval('#exercise-window', (e) => e.hidden));
    }
    await done(page);
  }

  // --- one student's session on "Multiply by repeated addition".
  const page = await freshPage(MultiplyLink);
  await paneShows(page, multiply.title);
  check('the statement is its paragraphs', (await page.$$('#exercise-statement p')).length ===
        multiply.statement.split('\n\n').length);
  check('the visible cases are listed, the hidden ones counted',
        JSON.stringify(await texts(page, '#exercise-cases li')) === '["6 x 7 (1 point)","and 3 hidden cases"]',
        JSON.stringify(await texts(page, '#exercise-cases li')));

  // Each Check: how it is started, then the rows, the hidden count, the total.
  const pressF6 = async () => {
    await page.focus('#source');
    await page.keyboard.press('F6');
  };
  const checks = [
    ['the starter', multiply.starter, () => page.click('#check'),
     ['FAIL 6 x 7 (0/1 point): R3 is 5A, expected 2A'], '0 of 3 hidden cases pass', '0/4 points'],
    ['a source with an error', '        lod R1,1\n        halt\n', pressF6, [], '',
     'The source does not assemble: see the errors below it'],
    ['the model answer', model, pressF6, ['PASS 6 x 7 (1/1 point)'], '3 of 3 hidden cases pass', '4/4 points'],
  ];
  for (const [name, source, press, rows, hidden, total] of checks) {
    await setSource(page, source);
    await press();
    const got = [await texts(page, '#exercise-results li span'), await text(page, '#exercise-hidden'),
                 await text(page, '#exercise-total')];
    check(`Check of ${name} shows its rows, hidden count and total`,
          JSON.stringify(got) === JSON.stringify([rows, hidden, total]), JSON.stringify(got));
    const listed = await texts(page, '#error-list li');
    check(`Check of ${name} ${rows.length ? 'lists no error' : 'lists the error as Assemble does'}`,
          rows.length ? listed.length === 0 : listed[0]?.startsWith('line 1: '), JSON.stringify(listed));
    if (name !== 'the starter') continue;
    // Debug this case on the failing row: the case's start as one edit,
    // the band on the line of PC.
    await page.click('#exercise-results li.fail button');
    const machine = () => page.evaluate(() => [1, 2, 3].map((n) => window.orvik.core.register(n)).concat(
        window.orvik.core.pc()));
    check('Debug this case loads R1, R2, R3 and PC of the case', JSON.stringify(await machine()) ===
          JSON.stringify([6, 7, 0x5a, 0]), JSON.stringify(await machine()));
    check('and the band shows the line of PC', (await band(page)) === 'code 2', await band(page));
    await page.click('#undo');
    check('one Undo takes the case back', JSON.stringify(await machine()) === '[0,0,0,0]',
          JSON.stringify(await machine()));
  }

  // The answer is kept for the exercise: a reload shows it and the pane.
  await page.reload();
  await page.waitForSelector('body[data-ready=true]', {timeout: 10000});
  check('after a reload the pane is open again', await paneShows(page, multiply.title));
  check('and the editor holds the answer', (await page.$eval('#source', (e) => e.value)) === model);

  // Open takes an exercise file; the answer of the other one stays kept.
  const choosing = page.waitForFileChooser({timeout: 10000});
  await page.click('#open');
  // Debug this case and its Undo changed memory: Open asks first.
  const first = await Promise.race([choosing.then(() => 'chooser'),
                                    page.waitForSelector('#ask-dialog[open]', {timeout: 10000}).then(() => 'ask')]);
  if (first === 'ask') await page.click('#ask-buttons button[value=No]');
  const chooser = await choosing;
  check('Open accepts exercise files', chooser.isMultiple() === false &&
        (await page.$eval('#file-picker', (e) => e.accept)).split(',').includes('.json'));
  await chooser.accept([path.join(exercises, '02-add-cells.json')]);
  const asked = await message(page);
  check('opening another exercise asks nothing: the answer is kept', asked === '', asked);
  check('Open shows the file\'s exercise', await paneShows(page, addCells.title));
  await page.evaluate(() => (location.hash = '#exercise=/examples/exercises/03-multiply.json'));
  check('the link opens the first exercise again', await paneShows(page, multiply.title));
  check('on its kept answer', (await page.$eval('#source', (e) => e.value)) === model);

  // Dropped files the page cannot use: a clear message, nothing lost.
  const regexCase = '{"cases": [{"name": "a", "expect": {"output_regex": "^A$"}}]}';
  const drops = [
    ['no case', 'broken.json', '{"cases": []}', 'broken.json: "cases" must be a list of at least one case'],
    ['an output pattern', 'pattern.json', regexCase,
     'pattern.json: cases[0].expect.output_regex cannot be checked here; orvik-cli test and the window\'s Check can'],
  ];
  for (const [name, file, content, says] of drops) {
    await page.evaluate((f, c) => {
      const transfer = new DataTransfer();
      transfer.items.add(new File([c], f));
      document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: transfer, bubbles: true, cancelable: true}));
    }, file, content);
    const refused = await message(page);
    check(`a dropped exercise with ${name} says what is wrong`,
          refused === `${file} cannot be opened as an exercise:\n${says}`, refused);
    check(`and the pane keeps its exercise after ${name}`, await paneShows(page, multiply.title));
  }
  await done(page);

  // --- a phone in dark mode, the pane open with a failing row.
  const phone = await freshPage(MultiplyLink, {width: 390, height: 844, dark: true});
  await paneShows(phone, multiply.title);
  await phone.click('#check');
  const layout = await phone.evaluate(() => {
    const outside = [...document.querySelectorAll('#exercise-window button, #exercise-window li')].filter((e) => {
      const r = e.getBoundingClientRect();
      return r.left < 0 || r.right > innerWidth + 0.5;
    });
    return {wide: document.scrollingElement.scrollWidth, outside: outside.map((e) => e.textContent)};
  });
  check('at 390 x 844 nothing scrolls sideways', layout.wide <= 390, String(layout.wide));
  check('and the pane fits the width', layout.outside.length === 0, layout.outside.join(' | '));
  const axeSource = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
  await phone.addScriptTag({content: axeSource});
  const found = await phone.evaluate(async () => {
    const {violations} = await window.axe.run(document, {resultTypes: ['violations']});
    return violations.filter((v) => ['serious', 'critical'].includes(v.impact))
        .map((v) => `${v.id}: ${v.nodes.slice(0, 5).map((n) => n.target.join(' ')).join(', ')}`);
  });
  check('axe-core finds nothing serious with the pane open in dark mode', found.length === 0, found.join('; '));
  await done(phone);
  check('no errors on the pages', errors.length === 0, errors.join('; '));
} finally {
  await chromium.close();
  server.close();
}
finish();
