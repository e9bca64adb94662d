import {serveFolder, startChromium} from './serve.mjs';
const site = await serveFolder(process.argv[2]);
const chrome = await startChromium(); const browser = chrome.browser;
const page = await browser.newPage();
await page.setViewport({width: 390, height: 844, deviceScaleFactor: 1});
await page.emulateMediaFeatures([{name: 'prefers-color-scheme', value: 'dark'}]);
await page.goto(site.url + '/index.html');
await page.waitForSelector('body[data-ready="true"]');
await page.screenshot({path: '/tmp/shots/narrow-dark.png', fullPage: false});
const sw = await page.evaluate(() => document.scrollingElement.scrollWidth);
console.log('scrollWidth', sw);
// keyboard: load example via assemble, step
await page.keyboard.press('F8'); await page.keyboard.press('F8');
await page.screenshot({path: '/tmp/shots/narrow-dark-2.png', fullPage: true});
await page.setViewport({width: 1280, height: 900});
await page.emulateMediaFeatures([{name: 'prefers-color-scheme', value: 'light'}]);
await page.screenshot({path: '/tmp/shots/wide-light.png'});
await chrome.close(); site.close();
