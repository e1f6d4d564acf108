// The page's benchmarks: its size, its start against a reference page, and click to repaint.
//
//   node bench/web_bench.mjs WEB_BUILD [--smoke]
//
// Start: from navigation to the first paint, and to the controls being ready: the first paint with
// content, which for the page comes after the runtime's mark that the form is built and has the
// focus (the mark's own time is shown too). Against a reference page of the same size with one line
// of text, whose line is its content. The two alternate in one tab, with a blank page between, so
// that each start is a navigation and not a new browser process.
// Click to repaint: inside the page, from a click at the start of a frame to the end of that
// frame's rendering on the main thread (the handlers, style, layout and paint, no wait for the
// next vertical sync), and the part of it before the rendering: the event, the handlers and the
// page controls' own updates. A list row and a colour option by turns, each to another house.
// Against a bare page whose only change, measured the same way, is a new line of text in a
// read-only text area of the form's text area's size.
// Prints a table and writes WEB_BUILD/bench-results.json. --smoke runs each a few times only.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { pathToFileURL } from 'node:url';
import { chromium } from '../tests/web/node_modules/@playwright/test/index.mjs';
import { launchOptions } from '../tests/web/browser.mjs';

const webBuild = process.argv[2];
const smoke = process.argv.includes('--smoke');
const [runs, clicks] = smoke ? [3, 50] : [61, 1000];
const pagePath = path.join(webBuild, 'quorbel.html');
const html = fs.readFileSync(pagePath);

// The reference: one line of Cyrillic text, padded with a comment to the page's size.
const referencePath = path.join(webBuild, 'reference.html');
const head = '<!doctype html><html lang="bg"><meta charset="utf-8"><title>Reference</title><p>Логика - тест на Дорвалек</p><!--';
const pad = html.length - Buffer.byteLength(head) - 3;
fs.writeFileSync(referencePath, head + 'x'.repeat(Math.max(0, pad)) + '-->');

const median = (v) => { const s = [...v].sort((a, b) => a - b); return s[Math.floor(s.length / 2)]; };
const percentile = (v, p) => { const s = [...v].sort((a, b) => a - b); return s[Math.min(s.length - 1, Math.floor(s.length * p / 100))]; };

const browser = await chromium.launch(launchOptions);
const context = await browser.newContext({ viewport: { width: 640, height: 481 } });
await context.route('**/*', (route) => (route.request().url().startsWith('file:') ? route.continue() : route.abort()));

const tab = await context.newPage();
async function start(file) {
  await tab.goto(pathToFileURL(file).href);
  const times = await tab.evaluate(() => new Promise((resolve) => {
    const look = () => {
      const paint = Object.fromEntries(performance.getEntriesByType('paint').map((e) => [e.name, e.startTime]));
      if (paint['first-contentful-paint'] === undefined) return setTimeout(look, 5);
      const built = performance.getEntriesByName('quorbel-ready')[0];
      resolve({ firstPaint: paint['first-paint'], ready: paint['first-contentful-paint'], built: built?.startTime });
    };
    look();
  }));
  await tab.goto('about:blank');
  return times;
}

const startup = { quorbel: [], reference: [] };
for (let i = 0; i < runs * 2; ++i) {
  if (i % 2 === 0) startup.quorbel.push(await start(pagePath));
  else startup.reference.push(await start(referencePath));
}

// The bare page for clicks: one read-only text area, whose line is all that changes.
const barePath = path.join(webBuild, 'reference-click.html');
fs.writeFileSync(barePath, '<!doctype html><html lang="bg"><meta charset="utf-8"><title>Reference</title>' +
  '<textarea readonly style="width:409px;height:121px">Логика - тест на Дорвалек</textarea>');

async function clicksOn(file, ready) {
  const page = await context.newPage();
  await page.goto(pathToFileURL(file).href);
  if (ready) await page.waitForFunction(() => performance.getEntriesByName('quorbel-ready').length > 0);
  const times = await page.evaluate(async (count) => {
    const lists = [...document.querySelectorAll('main select:not([hidden])')];
    const radios = [...document.querySelectorAll('main input[type=radio]')];
    const area = document.querySelector('textarea');
    const lines = ['Норвежецът живее в първата къща.', 'Датчанинът пие чай.', 'Англичанинът живее в червената къща.',
                   'Немецът пуши "Rothmans".', 'Шведът гледа куче.'];
    const click = (i) => {
      const house = i % 5;
      if (!radios.length) {
        area.value = lines[house];
      } else if (i % 2) {
        radios[house].click();
      } else {
        const list = lists[i % 4];
        list.selectedIndex = house;
        list.dispatchEvent(new Event('change', { bubbles: true }));
      }
    };
    const repaint = [], handled = [];
    for (let i = 0; i < count; ++i) {
      await new Promise((resolve) => requestAnimationFrame(() => {
        const begin = performance.now();
        click(i);
        handled.push(performance.now() - begin);
        const after = new MessageChannel();
        after.port1.onmessage = () => resolve(repaint.push(performance.now() - begin));
        after.port2.postMessage(0);
      }));
    }
    return { repaint, handled };
  }, clicks);
  await page.close();
  return times;
}
const clickTimes = await clicksOn(pagePath, true);
const bareClickTimes = await clicksOn(barePath, false);
await browser.close();
fs.rmSync(referencePath);
fs.rmSync(barePath);

const pick = (which, key) => startup[which].map((t) => t[key]);
const results = {
  machine: `${os.arch()}, ${os.cpus().length} cores, ${os.type()} ${os.release()}, ${browser.version()}`,
  smoke,
  size_bytes: { raw: html.length, gzip: zlib.gzipSync(html, { level: 9 }).length },
  first_paint_ms: { quorbel: median(pick('quorbel', 'firstPaint')), reference: median(pick('reference', 'firstPaint')) },
  ready_ms: { quorbel: median(pick('quorbel', 'ready')), reference: median(pick('reference', 'ready')),
    built: median(pick('quorbel', 'built')) },
  click_ms: { median: median(clickTimes.repaint), p99: percentile(clickTimes.repaint, 99),
    handled_median: median(clickTimes.handled), samples: clickTimes.repaint.length,
    bare_median: median(bareClickTimes.repaint) },
  runs,
};
results.first_paint_ms.ratio = results.first_paint_ms.quorbel / results.first_paint_ms.reference;
results.ready_ms.ratio = results.ready_ms.quorbel / results.ready_ms.reference;
results.click_ms.ratio = results.click_ms.median / results.click_ms.bare_median;
fs.writeFileSync(path.join(webBuild, 'bench-results.json'), JSON.stringify(results, null, 2));

const f = (v) => v.toFixed(1);
const rows = [
  ['quorbel.html', `${results.size_bytes.raw} bytes (gzip ${results.size_bytes.gzip})`, '<= 131072'],
  ['Navigation to first paint, page', `${f(results.first_paint_ms.quorbel)} ms`, ''],
  ['Navigation to first paint, reference', `${f(results.first_paint_ms.reference)} ms`, ''],
  ['First paint ratio', results.first_paint_ms.ratio.toFixed(3), '<= 1.25'],
  ['Navigation to controls ready, page', `${f(results.ready_ms.quorbel)} ms (built at ${f(results.ready_ms.built)} ms)`, ''],
  ['Navigation to its line shown, reference', `${f(results.ready_ms.reference)} ms`, ''],
  ['Controls ready ratio', results.ready_ms.ratio.toFixed(3), '<= 1.25'],
  ['Click to repaint, page', `median ${results.click_ms.median.toFixed(3)} ms, p99 ${results.click_ms.p99.toFixed(3)} ms`, ''],
  ['Click handled (handlers, page controls)', `median ${results.click_ms.handled_median.toFixed(3)} ms`, ''],
  ['One line changed, bare page', `median ${results.click_ms.bare_median.toFixed(3)} ms`, ''],
  ['Click to repaint ratio', results.click_ms.ratio.toFixed(3), '<= 1.25'],
];
const w0 = Math.max(...rows.map((r) => r[0].length)), w1 = Math.max(...rows.map((r) => r[1].length));
console.log(`${smoke ? 'Smoke run: ' : ''}${results.machine}, medians of ${runs} starts each`);
console.log(`| ${'Figure'.padEnd(w0)} | ${'Value'.padEnd(w1)} | Target |`);
console.log(`|${'-'.repeat(w0 + 2)}|${'-'.repeat(w1 + 2)}|--------|`);
for (const [name, value, target] of rows) console.log(`| ${name.padEnd(w0)} | ${value.padEnd(w1)} | ${target} |`);
console.log(`(JSON: ${path.join(webBuild, 'bench-results.json')})`);
