import { chromium } from '@playwright/test';
import { launchOptions } from './browser.mjs';
const files = process.argv.slice(3), runs = Number(process.argv[2]);
const browser = await chromium.launch(launchOptions);
const context = await browser.newContext({ viewport: { width: 640, height: 481 } });
const tab = await context.newPage();
const res = Object.fromEntries(files.map(f => [f, []]));
for (let i = 0; i < runs; ++i) for (const f of files) {
  await tab.goto('file://' + f);
  res[f].push(await tab.evaluate(() => new Promise((resolve) => { const look = () => { const p = performance.getEntriesByName('first-contentful-paint')[0]; if (!p) return setTimeout(look, 5); resolve(p.startTime); }; look(); })));
  await tab.goto('about:blank');
}
const median = (v) => { const s = [...v].sort((a, b) => a - b); return s[Math.floor(s.length / 2)]; };
for (const f of files) console.log(f, 'median FCP', median(res[f]).toFixed(1), 'mean', (res[f].reduce((a, b) => a + b, 0) / runs).toFixed(1));
await browser.close();
