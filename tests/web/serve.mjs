// Serves a folder with Python's built-in server on a free local port, and
// starts headless Chromium through puppeteer-core: the browser Debian
// installs, never one that is downloaded.
import {spawn} from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

export const ChromiumPath = process.env.ORVIK_CHROMIUM || '/usr/bin/chromium';

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const {port} = server.address();
      server.close(() => resolve(port));
    });
  });
}

async function reachable(port) {
  try {
    const response = await fetch(`http://127.0.0.1:${port}/`);
    return response.ok;
  } catch {
    return false;
  }
}

// Returns { url, close() }.
export async function serveFolder(folder) {
  const port = await freePort();
  const server = spawn('python3', ['-m', 'http.server', String(port), '--bind', '127.0.0.1', '--directory', folder], {
    stdio: 'ignore',
  });
  for (let i = 0; i < 100 && !(await reachable(port)); ++i) await new Promise((r) => setTimeout(r, 100));
  if (!(await reachable(port))) {
    server.kill();
    throw new Error(`python3 -m http.server did not answer on port ${port}`);
  }
  return {url: `http://127.0.0.1:${port}/`, close: () => server.kill()};
}

// Returns { browser, close() }; the profile is a fresh folder, removed on close.
export async function startChromium() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'orvik-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: ChromiumPath,
    headless: true,
    args: [
      '--headless',
      '--no-sandbox',
      '--disable-gpu',
      '--disable-quic',
      '--no-first-run',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
      `--user-data-dir=${profile}`,
    ],
  });
  return {
    browser,
    close: async () => {
      await browser.close();
      fs.rmSync(profile, {recursive: true, force: true});
    },
  };
}

// A page of chromium on server's site, 1280 x 800, once the page says it is
// ready; errors collects the page's uncaught errors.
export async function openPage(chromium, server, errors) {
  const page = await chromium.browser.newPage();
  await page.setViewport({width: 1280, height: 800});
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.goto(server.url);
  await page.waitForSelector('body[data-ready=true]', {timeout: 10000});
  return page;
}

// The site folder of a test script's --site argument; a missing one ends
// the script with its usage.
export function siteArgument(script) {
  const at = process.argv.indexOf('--site');
  if (at < 0 || !process.argv[at + 1]) {
    console.error(`usage: node ${script} --site SITE_FOLDER`);
    process.exit(2);
  }
  return path.resolve(process.argv[at + 1]);
}

// The Hello World example in the page's editor.
export async function openHello(page) {
  await page.click('#example-hello');
  await page.waitForFunction(() => document.getElementById('source').value.includes('Hello world !!'));
}

// The frame of a suite on the Hello World example: the site of the script's
// --site argument served, a fresh Chromium, the page open with the example
// in its editor. body(page, errors) runs the checks; the browser and the
// server are closed whatever happens.
export async function withHelloPage(script, body) {
  const server = await serveFolder(siteArgument(script));
  const chromium = await startChromium();
  try {
    const errors = [];
    const page = await openPage(chromium, server, errors);
    await openHello(page);
    await body(page, errors);
  } finally {
    await chromium.close();
    server.close();
  }
}
