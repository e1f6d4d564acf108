// The page's benchmarks: its size, and its start and clicks against the same page written by hand.
//
//   node bench/web_bench.mjs WEB_BUILD [--smoke]
//
// The reference is bench/hand_written.html: the same elements as the form, with the page's own
// style sheet copied in, and a few lines of plain script that choose a house in every control.
// Start: from navigation to the first paint, and to the controls being ready: the first paint with
// content, or the page's mark that the form answers (its core has attached), whichever comes later
// (the mark's own time is shown too); the two pages alternate in one tab, with a blank page
// between, so that each start is a navigation and not a new browser process.
// Click to repaint: inside each page, from a click at the start of a frame to the end of that
// frame's rendering on the main thread (the handlers, style, layout and paint, no wait for the next
// vertical sync), and the part of it before the rendering: the event, the handlers and the controls'
// own updates. A list row and a colour option by turns, each to another house; the two pages take
// turns in rounds, each round in new tabs.
// Each figure is the mean of the middle half of its samples (from the first quarter to the third):
// the browser gives times in steps (0.1 ms for a script's clock, 4 ms for a paint's time stamp here),
// and a median moves only a whole step, 8 % of a click, while this mean resolves the difference and
// leaves out the outliers a median leaves out.
// Prints a table and writes WEB_BUILD/bench-results.json. --smoke runs each a few times only.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from '../tests/web/node_modules/@playwright/test/index.mjs';
import { launchOptions } from '../tests/web/browser.mjs';

const webBuild = process.argv[2];
const smoke = process.argv.includes('--smoke');
const [runs, rounds, clicksPerRound, warmUp] = smoke ? [3, 2, 25, 5] : [201, 24, 100, 40];
const pagePath = path.join(webBuild, 'quorbel.html');
const html = fs.readFileSync(pagePath);

// The hand-written page, with the page's style sheets (the form's own included) in place of its
// marker.
const handPath = path.join(webBuild, 'hand_written.html');
const style = [...html.toString().matchAll(/<style\b[\s\S]*?<\/style>/g)]
  .map((m) => m[0]).join('\n');
const hand = fs.readFileSync(path.join(path.dirname(fileURLToPath(import.meta.url)), 'hand_written.html'), 'utf8');
if (!hand.includes('<!-- the page\'s style -->')) throw new Error('hand_written.html has lost its style marker');
fs.writeFileSync(handPath, hand.replace('<!-- the page\'s style -->', () => style));
const handBytes = fs.statSync(handPath).size;

const middleMean = (v) => {
  const s = [...v].sort((a, b) => a - b), half = s.slice(Math.floor(s.length / 4), Math.ceil(s.length * 3 / 4));
  return half.reduce((a, b) => a + b, 0) / half.length;
};
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
      if (!built) return setTimeout(look, 5);
      resolve({ firstPaint: paint['first-paint'], ready: Math.max(paint['first-contentful-paint'], built.startTime), built: built.startTime });
    };
    look();
  }));
  await tab.goto('about:blank');
  return times;
}

const startup = { quorbel: [], reference: [] };
for (let i = 0; i < runs * 2; ++i) {
  if (i % 2 === 0) startup.quorbel.push(await start(pagePath));
  else startup.reference.push(await start(handPath));
}

// Clicks in both pages, taking turns in rounds, each round in a new tab for each page: a renderer
// process keeps its own speed for its life (a page against a copy of itself in two long-lived tabs
// came out 2.5 % apart), so every round draws afresh. The first clicks in a tab are not counted.
async function clickTab(file) {
  const page = await context.newPage();
  await page.goto(pathToFileURL(file).href);
  await page.waitForFunction(() => performance.getEntriesByName('quorbel-ready').length > 0);
  return page;
}
async function clicksIn(page, first, count) {
  return page.evaluate(async ([from, n]) => {
    const lists = [...document.querySelectorAll('main [role=listbox]:not([hidden])')];
    const radios = [...document.querySelectorAll('main input[type=radio]')];
    const click = (i) => {
      const house = i % 5;
      if (i % 2) radios[house].click();
      else lists[i % 4].children[house].dispatchEvent(new MouseEvent('mousedown', { bubbles: true, cancelable: true }));
    };
    const repaint = [], handled = [];
    for (let i = from; i < from + n; ++i) {
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
  }, [first, count]);
}
// What the lists, the options and the text area hold: both pages must hold the same after the clicks.
const finalState = (page) => page.evaluate(() => [...document.querySelectorAll('main [role=listbox]:not([hidden])')]
  .map((l) => [...l.children].findIndex((row) => row.matches('[aria-selected=true], [aria-current=true]')))
  .concat([...document.querySelectorAll('main input[type=radio]')].findIndex((r) => r.checked), document.querySelector('main textarea').value.slice(0, 20)));
const files = { quorbel: pagePath, reference: handPath };
const clickTimes = { quorbel: { repaint: [], handled: [] }, reference: { repaint: [], handled: [] } };
for (let round = 0; round < rounds; ++round) {
  const states = {};
  for (const which of round % 2 ? ['reference', 'quorbel'] : ['quorbel', 'reference']) {
    const page = await clickTab(files[which]);
    await clicksIn(page, 0, warmUp);
    const { repaint, handled } = await clicksIn(page, round * clicksPerRound, clicksPerRound);
    clickTimes[which].repaint.push(...repaint);
    clickTimes[which].handled.push(...handled);
    states[which] = JSON.stringify(await finalState(page));
    await page.close();
  }
  if (states.quorbel !== states.reference) throw new Error(`the pages disagree after the clicks: ${states.quorbel} / ${states.reference}`);
}
await browser.close();
fs.rmSync(handPath);

const pick = (which, key) => startup[which].map((t) => t[key]);
const results = {
  machine: `${os.arch()}, ${os.cpus().length} cores, ${os.type()} ${os.release()}, ${browser.version()}`,
  smoke,
  size_bytes: { raw: html.length, gzip: zlib.gzipSync(html, { level: 9 }).length, hand_written: handBytes },
  first_paint_ms: { quorbel: middleMean(pick('quorbel', 'firstPaint')), reference: middleMean(pick('reference', 'firstPaint')) },
  ready_ms: { quorbel: middleMean(pick('quorbel', 'ready')), reference: middleMean(pick('reference', 'ready')),
    built: middleMean(pick('quorbel', 'built')), reference_built: middleMean(pick('reference', 'built')) },
  click_ms: {
    mean: middleMean(clickTimes.quorbel.repaint), p99: percentile(clickTimes.quorbel.repaint, 99),
    handled_mean: middleMean(clickTimes.quorbel.handled), samples: clickTimes.quorbel.repaint.length,
    reference_mean: middleMean(clickTimes.reference.repaint), reference_p99: percentile(clickTimes.reference.repaint, 99),
    reference_handled_mean: middleMean(clickTimes.reference.handled) },
  runs,
};
results.first_paint_ms.ratio = results.first_paint_ms.quorbel / results.first_paint_ms.reference;
results.ready_ms.ratio = results.ready_ms.quorbel / results.ready_ms.reference;
results.click_ms.ratio = results.click_ms.mean / results.click_ms.reference_mean;
fs.writeFileSync(path.join(webBuild, 'bench-results.json'), JSON.stringify(results, null, 2));

const f = (v) => v.toFixed(1);
const rows = [
  ['quorbel.html', `${results.size_bytes.raw} bytes (gzip ${results.size_bytes.gzip})`, '<= 98304'],
  ['The page written by hand', `${results.size_bytes.hand_written} bytes`, ''],
  ['Navigation to first paint, page', `${f(results.first_paint_ms.quorbel)} ms`, ''],
  ['Navigation to first paint, by hand', `${f(results.first_paint_ms.reference)} ms`, ''],
  ['First paint ratio', results.first_paint_ms.ratio.toFixed(3), '<= 1.05'],
  ['Navigation to controls ready, page', `${f(results.ready_ms.quorbel)} ms (built at ${f(results.ready_ms.built)} ms)`, ''],
  ['Navigation to controls ready, by hand', `${f(results.ready_ms.reference)} ms (script done at ${f(results.ready_ms.reference_built)} ms)`, ''],
  ['Controls ready ratio', results.ready_ms.ratio.toFixed(3), ''],
  ['Click to repaint, page', `${results.click_ms.mean.toFixed(3)} ms, p99 ${results.click_ms.p99.toFixed(3)} ms`, ''],
  ['Click to repaint, by hand', `${results.click_ms.reference_mean.toFixed(3)} ms, p99 ${results.click_ms.reference_p99.toFixed(3)} ms`, ''],
  ['Click handled, page / by hand', `${results.click_ms.handled_mean.toFixed(3)} / ${results.click_ms.reference_handled_mean.toFixed(3)} ms`, ''],
  ['Click to repaint ratio', results.click_ms.ratio.toFixed(3), '<= 1.00'],
];
const w0 = Math.max(...rows.map((r) => r[0].length)), w1 = Math.max(...rows.map((r) => r[1].length));
console.log(`${smoke ? 'Smoke run: ' : ''}${results.machine}, means of the middle half, ${runs} starts and ${rounds * clicksPerRound} clicks each`);
console.log(`| ${'Figure'.padEnd(w0)} | ${'Value'.padEnd(w1)} | Target |`);
console.log(`|${'-'.repeat(w0 + 2)}|${'-'.repeat(w1 + 2)}|--------|`);
for (const [name, value, target] of rows) console.log(`| ${name.padEnd(w0)} | ${value.padEnd(w1)} | ${target} |`);
console.log(`(JSON: ${path.join(webBuild, 'bench-results.json')})`);
