// Figures of the browser edition, one "key: value" line each:
//   web_run_instructions_per_second  a tight loop run at Max in headless Chromium
//   web_load_to_interactive_ms       navigation start to a usable page, local server: a first visit (no cache,
//                                    no service worker) in a browser that has shown another site; the median
//                                    of 5 such visits too
//   web_wasm_js_bytes                orvik-core.wasm plus every JavaScript file of the page, uncompressed
//   web_offline_reload_ms            a reload with the network off, served by the service worker (median of 5)
//   node tests/web/bench.mjs --site build-web/web/site [--seconds 3]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import {serveFolder, startChromium} from './serve.mjs';

const options = {
  site: '',
  seconds: 3
};
for (let i = 2; i < process.argv.length; i += 2) options[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
if (!options.site) {
  console.error('usage: node bench.mjs --site SITE_FOLDER [--seconds N]');
  process.exit(2);
}
const site = path.resolve(options.site);

let bytes = fs.statSync(path.join(site, 'orvik-core.wasm')).size + fs.statSync(path.join(site, 'orvik-core.js')).size;
for (const name of fs.readdirSync(path.join(site, 'js')))
  if (name.endsWith('.js')) bytes += fs.statSync(path.join(site, 'js', name)).size;

const otherSite = fs.mkdtempSync(path.join(os.tmpdir(), 'orvik-other-site-'));
fs.writeFileSync(path.join(otherSite, 'index.html'),
                 '<!doctype html><html lang="en"><title>Another site</title><link rel="stylesheet" href="s.css">' +
                     `<script type="module" src="m.js"></script><p>${'Some text. '.repeat(200)}</p>` +
                     `<pre>${'code(); '.repeat(200)}</pre>`);
fs.writeFileSync(path.join(otherSite, 's.css'), 'body { font: 13px sans-serif; } pre { font: 12px monospace; }');
fs.writeFileSync(path.join(otherSite, 'm.js'),
                 'localStorage.setItem(\'visited\', \'1\');\n' +
                     'await WebAssembly.instantiate(new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0]));\n' +
                     'document.body.dataset.ready = \'true\';\n');
const server = await serveFolder(site);
const chromium = await startChromium();
try {
  // A student's browser has been running and showing other pages before
  // this one is opened: the browser's own first use of what every site uses
  // (a renderer, text in the default fonts, a module script, the site's
  // storage, WebAssembly) is not the page's. So it first shows a page of
  // another origin that uses them, then the page in contexts of their own.
  {
    const other = await serveFolder(otherSite);
    const context = await chromium.browser.createBrowserContext();
    const page = await context.newPage();
    await page.goto(other.url);
    await page.waitForSelector('body[data-ready=true]');
    await context.close();
    other.close();
  }
  const loads = [];
  const interactive = (page) => page.evaluate(() => performance.getEntriesByName('orvik-interactive')[0].startTime);
  // Each first load in a context of its own: no service worker, no cache.
  for (let i = 0; i < 5; ++i) {
    const context = await chromium.browser.createBrowserContext();
    const page = await context.newPage();
    await page.goto(server.url);
    await page.waitForSelector('body[data-ready=true]');
    loads.push(await interactive(page));
    await context.close();
  }
  const offline = [];
  {
    const context = await chromium.browser.createBrowserContext();
    const page = await context.newPage();
    await page.goto(server.url);
    await page.waitForSelector('body[data-ready=true]');
    await page.evaluate(async () => {
      await navigator.serviceWorker.ready;
      while (!navigator.serviceWorker.controller) await new Promise((r) => setTimeout(r, 50));
    });
    await page.setOfflineMode(true);
    for (let i = 0; i < 5; ++i) {
      await page.reload();
      await page.waitForSelector('body[data-ready=true]');
      offline.push(await interactive(page));
    }
    await context.close();
  }

  const page = await chromium.browser.newPage();
  await page.goto(server.url);
  await page.waitForSelector('body[data-ready=true]');
  // Every instruction a taken jump or an add, as in orvik-bench's machine loop.
  await page.evaluate(() => {
    const area = document.getElementById('source');
    area.value = '        load  R1,1\nLoop:   addi  R2,R2,R1\n        jmpEQ R0=R0,Loop\n';
    area.dispatchEvent(new Event('input'));
    document.getElementById('speed').value = 'max';
  });
  await page.click('#assemble');
  await page.click('#run');
  await new Promise((r) => setTimeout(r, 500));
  const start = await page.evaluate(() => [window.orvik.instructions, performance.now()]);
  await new Promise((r) => setTimeout(r, Number(options.seconds) * 1000));
  const end = await page.evaluate(() => [window.orvik.instructions, performance.now()]);
  await page.click('#break');

  const sorted = [...loads].sort((a, b) => a - b);
  console.log(
      `web_run_instructions_per_second: ${(((end[0] - start[0]) * 1000) / (end[1] - start[1])).toExponential(2)}`);
  console.log(`web_load_to_interactive_ms: ${loads[0].toFixed(0)}`);
  console.log(`web_load_to_interactive_median_ms: ${sorted[2].toFixed(0)}`);
  console.log(`web_wasm_js_bytes: ${bytes}`);
  console.log(`web_offline_reload_ms: ${[...offline].sort((a, b) => a - b)[2].toFixed(0)}`);
} finally {
  await chromium.close();
  server.close();
  fs.rmSync(otherSite, {recursive: true, force: true});
}
