// The page as a file and as a window: one self-contained file within its budget that opens from
// disk with no network; the layout's geometry, colours and font at 96 DPI and at 200 % zoom; and
// what assistive technology is told.
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import zlib from 'node:zlib';
import { chromium } from '@playwright/test';
import os from 'node:os';
import { test, expect, readPng, contrast, headings, colours, content, layout, statementStart, Form, serve } from './fixtures.mjs';
import { launchOptions, pagePath, pageUrl, webBuild } from './browser.mjs';
import { playwrightDriver } from './engines.mjs';

const axePath = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

test.describe('the file', () => {
  test('is one file of at most 96 KiB that names nothing outside itself', () => {
    expect(fs.statSync(pagePath).size).toBeLessThanOrEqual(96 * 1024);
    const html = fs.readFileSync(pagePath, 'utf8');
    for (const [, url] of html.matchAll(/(?:src|href)\s*=\s*["']?([^"'\s>]+)/gi)) expect(url).toMatch(/^data:/);
    expect(html).not.toMatch(/url\(\s*["']?(?!data:)/i);
  });

  test('carries a face that has a glyph for every character of the texts', () => {
    const face = /@font-face \{ font-family: "Quorbel Serif"; src: url\(data:font\/woff2;base64,([^)]+)\)/
      .exec(fs.readFileSync(pagePath, 'utf8'));
    const mapped = woff2Characters(Buffer.from(face[1], 'base64'));
    const strings = (v) => (typeof v === 'string' ? [v] : Object.values(v).flatMap(strings));
    const drawn = new Set(strings(content).join('').replace(/[\r\n]/g, ''));
    expect([...drawn].filter((c) => !mapped.has(c))).toEqual([]);
  });

  test('where the core cannot start at all, says so in Bulgarian over a form that answers nothing', async ({ page }) => {
    // No WebAssembly, and its JavaScript stand-in gone.
    await page.addInitScript(() => {
      delete window.WebAssembly;
      document.addEventListener('DOMContentLoaded', () => { document.getElementById('quorbel-core-js').textContent = ''; });
    });
    await page.goto(pageUrl);
    await expect(page.getByRole('alertdialog')).toHaveText('Тази страница не може да работи в този браузър.');
    await expect(page.getByRole('alertdialog')).toBeFocused();
    await expect(page.locator('main')).toHaveJSProperty('inert', true);
  });

  test('opens from file:// with every network request refused, offline, with no console error', async ({ quorbel, page }) => {
    await page.context().setOffline(true);
    await page.reload();
    await page.waitForFunction(() => performance.getEntriesByName('quorbel-ready').length > 0);
    expect(page.url()).toMatch(/^file:/);
    await expect(page).toHaveTitle(/Логика/);
    expect(await page.evaluate(() => document.querySelector('link[rel=icon]').href)).toMatch(/^data:image\/png;base64,/);
    await quorbel.expectStart();
  });
});

// The characters a WOFF2 font gives a glyph, read from its own character map (the Windows Unicode
// subtable, format 4). The tables follow the directory in one Brotli stream, unpadded; a table
// stored transformed (glyf and loca by default, any other when its flags say so) counts its
// transformed length.
function woff2Characters(font) {
  let at = 48;
  const base128 = () => { let v = 0, b; do { b = font[at++]; v = v * 128 + (b & 127); } while (b & 128); return v; };
  const [tables, packed] = [font.readUInt16BE(12), font.readUInt32BE(20)];
  let offset = 0, cmap = -1;
  for (let t = 0; t < tables; ++t) {
    const flags = font[at++], known = flags & 63, transformed = (known === 10 || known === 11) === (flags >> 6 === 0);
    const tag = known === 63 ? String.fromCharCode(...font.subarray(at, (at += 4))) : known === 0 ? 'cmap' : '';
    let length = base128();
    if (transformed) length = base128();
    if (tag === 'cmap') cmap = offset;
    offset += length;
  }
  const c = zlib.brotliDecompressSync(font.subarray(at, at + packed)).subarray(cmap);
  const mapped = new Set();
  for (let r = 0; r < c.readUInt16BE(2); ++r) {
    const sub = c.readUInt32BE(8 + 8 * r);
    if (c.readUInt16BE(4 + 8 * r) !== 3 || c.readUInt16BE(6 + 8 * r) !== 1 || c.readUInt16BE(sub) !== 4) continue;
    const segments = c.readUInt16BE(sub + 6) / 2;
    const [ends, starts] = [sub + 14, sub + 16 + 2 * segments];
    const [deltas, ranges] = [starts + 2 * segments, starts + 4 * segments];
    for (let s = 0; s < segments; ++s) {
      const [start, range] = [c.readUInt16BE(starts + 2 * s), c.readUInt16BE(ranges + 2 * s)];
      for (let code = start; code <= c.readUInt16BE(ends + 2 * s) && code !== 0xFFFF; ++code) {
        const glyph = range ? c.readUInt16BE(ranges + 2 * s + range + 2 * (code - start)) : code + c.readInt16BE(deltas + 2 * s);
        if (glyph % 65536 !== 0) mapped.add(String.fromCharCode(code));
      }
    }
  }
  return mapped;
}

// The page as a site serves it, with the content security policy a school's server may send.
test.describe('served under a site\'s policy', { tag: '@every-engine' }, () => {
  const policy = "default-src 'none'; style-src 'unsafe-inline'; img-src data:; font-src data:; script-src ";
  const site = (scripts) => serve({ '/': webBuild }, () => ({ 'content-security-policy': policy + scripts }));

  test.describe('without \'wasm-unsafe-eval\'', () => {
    test.use({
      nativeWasm: false, expectedErrors: /WebAssembly|wasm-unsafe-eval/,
      url: async ({}, use) => {
        const served = await site("'unsafe-inline'");
        await use(`${served.url}quorbel.html`);
        await served.close();
      },
    });
    test('the core runs as JavaScript', async ({ quorbel }) => {
      await quorbel.clickListRow(1, 2);
      await quorbel.expectHouse(2);
    });
  });

  test('that blocks the page\'s scripts, the form answers nothing and the page says why', async ({ driver }) => {
    const served = await site("'self'");
    await driver.goto(`${served.url}quorbel.html`);
    expect(await driver.evaluate(() => {
      const message = document.querySelector('[role=alertdialog]');
      return [message.textContent, message.checkVisibility(), document.querySelector('main').inert];
    })).toEqual(['Тази страница има нужда от JavaScript.', true, true]);
    await served.close();
  });
});

test.describe('where WebAssembly is there but fails to compile', () => {
  test.use({
    nativeWasm: false, expectedErrors: /no WebAssembly here/,
    page: async ({ context }, use) => {
      const page = await context.newPage();
      await page.addInitScript(() => { WebAssembly.Module = function () { throw new RangeError('no WebAssembly here'); }; });
      await use(page);
    },
  });
  test('the core runs as JavaScript', async ({ quorbel }) => {
    await quorbel.clickOption(4);
    await quorbel.expectHouse(4);
  });
});

test.describe('the web app folder', () => {
  // Chromium installs nothing from an incognito context, which a new context is: a profile of its own.
  test.use({
    url: async ({ appUrl }, use) => use(appUrl),
    page: async ({ engine, viewport }, use, testInfo) => {
      if (engine !== 'chromium') return use(null);
      const context = await chromium.launchPersistentContext(testInfo.outputPath('profile'), { ...launchOptions, viewport });
      await use(context.pages()[0]);
      await context.close();
    },
  });

  test('keeps every file of the folder on the first visit', { tag: '@every-engine' }, async ({ quorbel, url }) => {
    const kept = await quorbel.driver.evaluate(async () => {
      await navigator.serviceWorker.ready;
      const names = await caches.keys();
      return names.length === 1 && (await (await caches.open(names[0])).keys()).map((r) => r.url);
    });
    const files = fs.readdirSync(path.join(webBuild, 'app')).filter((f) => f !== 'service-worker.js');
    expect(kept && kept.sort()).toEqual([url, ...files.map((f) => new URL(f, url).href)].sort());
  });

  test('is installable, and after one visit a reload with no network gives a working form', async ({ quorbel, page, engine }) => {
    test.skip(engine !== 'chromium', 'installability is Chromium\'s own check, and going offline Playwright\'s');
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    const cdp = await page.context().newCDPSession(page);
    expect((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors).toEqual([]);
    await page.context().setOffline(true);
    await page.reload();
    await page.waitForFunction(() => performance.getEntriesByName('quorbel-ready').length > 0);
    await quorbel.expectStart();
    await quorbel.clickListRow(1, 2);
    await quorbel.expectHouse(2);
  });

  // Two copies of two builds on one site (a folder for each class, two releases side by side), the
  // second's folder redirected to its page; and an update of one whose page the browser's HTTP cache
  // keeps for a day, as many servers allow.
  test('two copies of two builds on one site each work with no network', { tag: '@every-engine' }, async ({ driver }, testInfo) => {
    const site = await serve({ '/a/': path.join(webBuild, 'app'), '/b/': newerBuild(testInfo.outputPath('newer')) },
      (p) => (p === '/b/' ? { location: '/b/index.html' } : {}));
    for (const copy of ['a/', 'b/']) {
      await driver.goto(site.url + copy);
      expect(await driver.evaluate(activeWorker)).toBe('activated');
    }
    await site.close();
    for (const [copy, build] of [['a/', null], ['b/', 'newer']]) await expectOffline(driver, site.url + copy, build);
  });

  test('updated behind a day-old page in the HTTP cache, gives the new page with no network', { tag: '@every-engine' }, async ({ driver }, testInfo) => {
    const folders = { '/app/': path.join(webBuild, 'app') };
    const site = await serve(folders, (p) => (/\/$|\.html$/.test(p) ? { 'cache-control': 'max-age=86400' } : {}));
    await driver.goto(`${site.url}app/`);
    expect(await driver.evaluate(activeWorker)).toBe('activated');
    folders['/app/'] = newerBuild(testInfo.outputPath('newer'));
    expect(await driver.evaluate(activeWorker, true)).toBe('activated');
    await site.close();
    await expectOffline(driver, `${site.url}app/`, 'newer');
  });

  test('names the form in Bulgarian in its colour, with the page\'s icon scaled whole to 192 and 512 pixels', async ({ url }) => {
    const manifest = JSON.parse((await (await fetch(new URL('manifest.webmanifest', url))).text()));
    expect(manifest).toMatchObject({ name: 'Quorbel', lang: 'bg', display: 'standalone', start_url: './',
      background_color: '#c0c0ff', theme_color: '#c0c0ff' });
    const single = fs.readFileSync(pagePath, 'utf8');
    const small = readPng(Buffer.from(/rel="icon" href="data:image\/png;base64,([^"]+)"/.exec(single)[1], 'base64'));
    expect(manifest.icons.map((i) => i.sizes)).toEqual(['192x192', '512x512']);
    for (const icon of manifest.icons) {
      const big = readPng(Buffer.from(await (await fetch(new URL(icon.src, url))).arrayBuffer()));
      const k = big.width / small.width;
      expect([big.width, big.height, Number.isInteger(k)]).toEqual([small.width * k, small.height * k, true]);
      const wrong = [];
      for (let y = 0; y < big.height; ++y) for (let x = 0; x < big.width; ++x)
        if (String(big.at(x, y)) !== String(small.at(Math.floor(x / k), Math.floor(y / k)))) wrong.push([x, y]);
      expect(wrong.slice(0, 5), icon.src).toEqual([]);
    }
  });
});

// The web app folder as a newer build makes it: another page, and with it another cache name.
function newerBuild(folder) {
  fs.cpSync(path.join(webBuild, 'app'), folder, { recursive: true });
  const edit = (file, change) => fs.writeFileSync(path.join(folder, file), change(fs.readFileSync(path.join(folder, file), 'utf8')));
  edit('index.html', (html) => html.replace('</head>', '<meta name="build" content="newer">\n</head>'));
  edit('service-worker.js', (js) => js.replace(/[0-9a-f]{16}/, (version) => `${version.slice(0, 11)}newer`));
  return folder;
}

// The state of the page's service worker once it has settled ('activated'), after looking for a
// new one first if asked to.
async function activeWorker(update) {
  const registration = await navigator.serviceWorker.ready;
  if (update) await registration.update();
  const worker = registration.installing || registration.waiting || registration.active;
  while (!['activated', 'redundant'].includes(worker.state)) await new Promise((r) => worker.addEventListener('statechange', r, { once: true }));
  return worker.state;
}

// With the site gone, the page at this address still opens and works: the build it is from (the
// newer one's mark, or null), and a choice.
async function expectOffline(driver, url, build) {
  await driver.goto(url);
  const form = new Form(driver);
  await form.ready();
  expect(await driver.evaluate(() => document.querySelector('meta[name=build]')?.content ?? null), url).toBe(build);
  await form.clickOption(3);
  await form.expectHouse(3);
}

test.describe('the window', { tag: '@every-engine' }, () => {
  test('is drawn as the layout says at 96 DPI, in the form\'s font', async ({ quorbel, installedTwin }) => {
    // Each control's box from the form's corner (the controls are c0, c1, ... in tab order).
    const { origin, boxes } = await quorbel.driver.evaluate((count) => {
      const form = document.querySelector('main').getBoundingClientRect();
      return { origin: [form.x, form.y, form.width, form.height],
        boxes: Array.from({ length: count }, (_, tab) => {
          const b = document.getElementById(`c${tab}`).getBoundingClientRect();
          return [b.x - form.x, b.y - form.y, b.width, b.height];
        }) };
    }, layout.controls.length);
    expect(origin.slice(2)).toEqual(layout.client);
    const shot = readPng(await quorbel.driver.screenshot());
    const at = (x, y) => shot.at(origin[0] + x, origin[1] + y);
    expect(at(2, 200), 'the form\'s background').toEqual(layout.back);
    for (const [tab, { box, painted, hidden }] of layout.controls.entries()) {
      if (hidden) continue;
      expect(boxes[tab], `c${tab}`).toEqual(box);
      // Painted in its own colour from edge to edge, and no further, along its top row.
      const [x, y, width] = box;
      if (painted) expect([at(x - 1, y + 1), at(x, y + 1), at(x + width - 1, y + 1), at(x + width, y + 1)], `c${tab}`)
        .toEqual([layout.back, painted, painted, layout.back]);
    }
    // With a metric twin installed, every heading's and caption's text as wide as the layout's font makes it (Times New Roman
    // at 12 pt, or its metric twin), not as a stand-in serif would.
    if (installedTwin) {
    const widths = await quorbel.driver.evaluate(([family, px]) => {
      const measure = document.createElement('canvas').getContext('2d');
      measure.font = `${px}px "${family}"`;
      return [...document.querySelectorAll('main .label, main legend, main .option')].map((box) => {
        const text = [...box.childNodes].find((n) => n.nodeType === Node.TEXT_NODE);
        const range = document.createRange();
        range.selectNodeContents(text);
        return [text.textContent, Math.round(range.getBoundingClientRect().width), Math.round(measure.measureText(text.textContent.trim()).width)];
      });
    }, layout.font);
    expect(widths).toHaveLength(11);
    for (const [text, shown, wanted] of widths) expect(Math.abs(shown - wanted), `${text}: ${shown} px, not ${wanted}`).toBeLessThanOrEqual(1);
    }
    // Where no twin is installed, the page's own face is loaded, and only then (with one installed
    // the page looks as it does without it).
    expect(await quorbel.driver.evaluate(() => document.fonts.ready.then((fonts) => [...fonts].map((f) => f.status))))
      .toEqual([installedTwin ? 'unloaded' : 'loaded']);
  });

  for (const [zoom, scale] of [['100 %', 1], ['200 %', 2]]) {
    test(`shows every row, caption and heading whole at ${zoom} zoom`, async ({ browser, engine }) => {
      test.skip(engine !== 'chromium', 'page zoom is set through Playwright\'s device scale, which only Chromium has here');
      // Page zoom as Chromium applies it: device pixels per CSS pixel, and a viewport that much smaller.
      const context = await browser.newContext({ deviceScaleFactor: scale, viewport: { width: 640 / scale, height: 480 / scale } });
      const page = await context.newPage();
      await page.goto(pageUrl);
      await page.waitForFunction(() => performance.getEntriesByName('quorbel-ready').length > 0);
      expect(await page.evaluate(() => window.devicePixelRatio)).toBe(scale);
      expect(await page.evaluate(hiddenText)).toEqual([]);
      // The first option's caption stays on one line.
      const yellow = await page.getByText(colours[0], { exact: true }).evaluate(lineCount);
      expect(yellow).toBe(1);
      await context.close();
    });
  }

  // A phone keeps the form to its width; a tablet's finger gets rows and options of 24 CSS px and
  // more, the form filling its width (on a phone on its side, taller than the screen: it opens at
  // the form's top); full screen on a projector, the form fills the screen.
  for (const { device, viewport, touch, fills, taller } of [
    { device: 'on a phone 320 px wide', viewport: { width: 320, height: 568 }, touch: true },
    { device: 'on a tablet 768 × 1024', viewport: { width: 768, height: 1024 }, touch: true, fills: 'width' },
    { device: 'on a phone on its side, 844 × 390', viewport: { width: 844, height: 390 }, touch: true, fills: 'width', taller: true },
    { device: 'full screen at 1920 × 1080', viewport: { width: 1920, height: 1080 }, touch: false, fills: 'screen' },
  ]) {
    test(`${device}, scales whole ${taller ? 'and opens at its top' : 'with no scrolling'}, and a ${touch ? 'tap' : 'click'} chooses`, async ({ browser, engine }) => {
      test.skip(engine !== 'chromium', 'a touch screen\'s viewport, taps and full screen are Playwright\'s, which only Chromium has here');
      const context = await browser.newContext({ viewport, hasTouch: touch, isMobile: touch });
      const page = await context.newPage();
      await page.goto(pageUrl);
      await page.waitForFunction(() => performance.getEntriesByName('quorbel-ready').length > 0);
      if (!touch) await page.evaluate(() => document.documentElement.requestFullscreen());
      const fit = await page.evaluate(() => {
        const form = document.querySelector('main').getBoundingClientRect();
        const root = document.documentElement;
        const heights = [...document.querySelectorAll('main [role=option], main .option')].filter((e) => !e.closest('[hidden]'))
          .map((e) => e.getBoundingClientRect().height);
        return { scrolls: root.scrollWidth > root.clientWidth || root.scrollHeight > root.clientHeight, left: form.left, right: form.right,
                 top: form.top, bottom: form.bottom, aspect: form.width / form.height, smallest: Math.min(...heights) };
      });
      expect(fit.scrolls).toBe(!!taller);
      expect(Math.min(fit.left, fit.top)).toBeGreaterThanOrEqual(0);
      expect(fit.right).toBeLessThanOrEqual(viewport.width);
      if (!taller) expect(fit.bottom).toBeLessThanOrEqual(viewport.height);
      expect(fit.aspect).toBeCloseTo(layout.client[0] / layout.client[1], 2);
      // Filling it: to within the outline's pixel on each side.
      if (fills === 'width') expect(fit.right - fit.left).toBeGreaterThan(viewport.width - 3);
      if (fills === 'screen') expect(Math.max(fit.right - fit.left - viewport.width, fit.bottom - fit.top - viewport.height)).toBeGreaterThan(-3);
      if (fills) expect(fit.smallest).toBeGreaterThanOrEqual(24);
      const form = new Form(playwrightDriver(page));
      if (touch) {
        await form.lists[2].getByRole('option').nth(4).tap();
        await form.expectHouse(4);
        await form.options[1].tap();
      } else {
        await form.clickListRow(2, 4);
        await form.expectHouse(4);
        await form.clickOption(1);
      }
      await form.expectHouse(1);
      await context.close();
    });
  }

  test('centres the labels\' text; the text area scrolls vertically and wraps its long lines', async ({ quorbel, engine }) => {
    const margins = await quorbel.driver.evaluate(() => [...document.querySelectorAll('main .label')].map((label) => {
      const range = document.createRange();
      range.selectNodeContents(label);
      const text = range.getBoundingClientRect(), box = label.getBoundingClientRect();
      return [Math.round(text.left - box.left), Math.round(box.right - text.right)];
    }));
    expect(margins).toHaveLength(5);
    for (const [left, right] of margins) expect(Math.abs(left - right), `${left}, ${right}`).toBeLessThanOrEqual(1);
    const area = await quorbel.driver.evaluate(() => {
      const t = document.querySelector('main textarea:not([hidden])');
      return { scrollBar: t.offsetWidth - 2 * t.clientLeft - t.clientWidth, overflowing: t.scrollHeight > t.clientHeight,
               wider: t.scrollWidth > t.clientWidth, overflowY: getComputedStyle(t).overflowY };
    });
    // WebKit's scroll bars lie over the content, as on the iPad, and take no room: there the text
    // area shows one on scrolling.
    if (engine === 'webkit') expect(area.overflowY).toBe('scroll');
    else expect(area.scrollBar).toBeGreaterThan(0);
    expect([area.overflowing, area.wider]).toEqual([true, false]);
  });

  test('fits all five rows in each list with a stand-in font of taller lines', async ({ page, engine }) => {
    test.skip(engine !== 'chromium', 'the stand-in font goes in before the page\'s script runs, through Playwright\'s init script');
    await page.addInitScript(() => document.addEventListener('DOMContentLoaded', () => {
      const style = document.createElement('style');
      style.textContent = '.form { font-family: "DejaVu Serif" !important; line-height: 1.8 }';
      document.head.append(style);
    }));
    await page.goto(pageUrl);
    await page.waitForFunction(() => performance.getEntriesByName('quorbel-ready').length > 0);
    const overflow = await page.evaluate(() => [...document.querySelectorAll('main [role=listbox]:not([hidden])')]
      .filter((s) => s.scrollHeight > s.clientHeight || s.lastElementChild.getBoundingClientRect().bottom > s.getBoundingClientRect().bottom - 1)
      .map((s) => s.getAttribute('aria-labelledby')));
    expect(overflow).toEqual([]);
  });
});

// Where some text of a list row, heading, legend or option caption lies outside its box; or, with
// `reachable`, where it cannot be seen at all: outside what clips it (the frame or the form) or, for
// a row, outside what its list scrolls to.
function hiddenText(reachable) {
  const cut = [];
  const inside = (text, box) => {
    const range = document.createRange();
    range.selectNodeContents(text);
    const r = range.getBoundingClientRect();
    const b = box.getBoundingClientRect();
    return r.left >= b.left - 0.5 && r.right <= b.right + 0.5 && r.top >= b.top - 0.5 && r.bottom <= b.bottom + 0.5;
  };
  // A list row's text is measured in the list's font, from its padding.
  // Where the form is scaled down to fit the viewport, so is the text.
  const measure = document.createElement('canvas').getContext('2d');
  const zoom = parseFloat(getComputedStyle(document.querySelector('main')).zoom);
  for (const select of document.querySelectorAll('main [role=listbox]:not([hidden])')) {
    const edge = select.getBoundingClientRect();
    measure.font = getComputedStyle(select).font;
    for (const option of select.querySelectorAll('[role=option]')) {
      const r = option.getBoundingClientRect();
      const indent = parseFloat(getComputedStyle(option).paddingLeft);
      const [right, bottom] = reachable
        ? [edge.left + (select.clientLeft + select.scrollWidth) * zoom, edge.top + (select.clientTop + select.scrollHeight) * zoom]
        : [edge.right - select.clientLeft * zoom, edge.bottom - select.clientTop * zoom];
      if (r.left + (indent + measure.measureText(option.textContent).width) * zoom > right || r.bottom > bottom)
        cut.push(option.textContent);
    }
  }
  for (const box of document.querySelectorAll('main .label, main legend, main .option')) {
    const text = [...box.childNodes].find((n) => n.nodeType === Node.TEXT_NODE);
    if (!inside(text, reachable ? box.parentElement.closest('fieldset, main') : box)) cut.push(text.textContent);
  }
  return cut;
}

function lineCount(element) {
  const range = document.createRange();
  range.selectNodeContents([...element.childNodes].find((n) => n.nodeType === Node.TEXT_NODE));
  return new Set([...range.getClientRects()].filter((r) => r.width > 0).map((r) => Math.round(r.top))).size;
}

test.describe('assistive technology', () => {
  // The chosen row is selected in the list the keyboard is in, and the current one in the others.
  test('names each list by its heading, each option by its caption, the group by the frame', async ({ quorbel, page }) => {
    await quorbel.clickListRow(2, 1);
    const q = JSON.stringify;
    const firstWords = content.hints[1].slice(0, 19).replace(/[.*+?^${}()|[\]\\/]/g, '\\$&');
    await expect(page.locator('main')).toMatchAriaSnapshot([
      `- textbox ${q(content.textAreaName)}: /^${firstWords}/`,
      `- heading ${q(content.title)} [level=1]`,
      `- group ${q(content.frame)}:`, `  - text: ${content.frame}`,
      ...colours.flatMap((c, h) => [`  - radio ${q(c)}${h === 1 ? ' [checked]' : ''}`, `  - text: ${c}`]),
      ...headings.flatMap((name, list) => [`- text: ${name}`, `- listbox ${q(name)}:`,
        ...content.rows[list].map((row, r) => `  - option ${q(row)}${r === 1 && list === 2 ? ' [selected]' : ''}`)]),
    ].join('\n'));
    for (const list of [0, 1, 3]) await expect(quorbel.lists[list].getByRole('option', { name: content.rows[list][1] })).toHaveAttribute('aria-current', 'true');
  });

  test('axe finds nothing against WCAG 2.0 and 2.1 A and AA, at the start and after a choice', { tag: '@every-engine' }, async ({ quorbel }) => {
    await quorbel.driver.evaluate((source) => {
      const script = document.createElement('script');
      script.textContent = source;
      document.head.append(script);
    }, fs.readFileSync(axePath, 'utf8'));
    const violations = () => quorbel.driver.evaluate(async () => (await axe.run(document, {
      runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'] },
    })).violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(', ')}`));
    expect(await violations()).toEqual([]);
    await quorbel.clickListRow(0, 2);
    expect(await violations()).toEqual([]);
  });

  test('announces the new hint politely, once, and shows the selected row at 4.5:1', { tag: '@every-engine' }, async ({ quorbel }) => {
    await quorbel.clickListRow(1, 3);
    await expect.poll(() => quorbel.driver.evaluate((hint) => [...document.querySelectorAll('[aria-live]')]
      .map((e) => [e.getAttribute('aria-live'), e.textContent === hint, e.matches('main textarea')]), content.hints[3]))
      .toEqual([['polite', true, false]]);
    // Measured on the screen: the row's background against its text's strongest pixel.
    const [, y] = await quorbel.spot({ list: 1, row: 3 });
    const [left, right] = await quorbel.driver.evaluate(() => {
      const list = document.querySelectorAll('main [role=listbox]:not([hidden])')[1], box = list.getBoundingClientRect();
      return [box.left + list.clientLeft, box.left + list.clientLeft + list.clientWidth];
    });
    const shot = readPng(await quorbel.driver.screenshot());
    const background = shot.at(Math.ceil(left) + 1, Math.round(y) - 8);
    let text = background;
    for (let r = Math.round(y) - 8; r <= Math.round(y) + 8; ++r)
      for (let x = Math.ceil(left); x < Math.floor(right); ++x) if (contrast(shot.at(x, r), background) > contrast(text, background)) text = shot.at(x, r);
    expect(contrast(text, background)).toBeGreaterThanOrEqual(4.5);
  });

  test('shows focus on every control at 3:1 against what was there', { tag: '@every-engine' }, async ({ quorbel }) => {
    const boxes = () => quorbel.driver.evaluate(() => {
      document.activeElement.blur();
      return ['main textarea:not([hidden])', 'main input[type=radio]', 'main [role=listbox]:not([hidden])']
        .flatMap((s) => [...document.querySelectorAll(s)]).map((e) => {
          const b = e.getBoundingClientRect();
          return [e.id || e.parentElement.id, b.x, b.y, b.width, b.height];
        });
    });
    const controls = ['Text1(0)', ...[0, 1, 2, 3, 4].map((o) => `Option1(${o})`), ...[0, 1, 2, 3].map((l) => `List1(${l})`)];
    // A screenshot once the change is painted (WebKit's WebDriver takes it as soon as asked).
    const painted = async () => {
      await quorbel.driver.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(() => done(true)))));
      return readPng(await quorbel.driver.screenshot());
    };
    const all = await boxes();
    const before = await painted();
    for (const [n, control] of controls.entries()) {
      await quorbel.focusOn(control);
      const after = await painted();
      const [id, bx, by, width, height] = all[n];
      let seen = 0;
      for (let y = Math.max(0, Math.floor(by) - 3); y < Math.min(after.height, by + height + 3); ++y)
        for (let x = Math.max(0, Math.floor(bx) - 3); x < Math.min(after.width, bx + width + 3); ++x)
          if (contrast(after.at(x, y), before.at(x, y)) >= 3) ++seen;
      // At least a ring of one pixel round the control changes that much.
      expect(seen, id).toBeGreaterThanOrEqual(2 * (width + height));
    }
  });

  test('with WCAG text spacing, every caption, heading and row can still be read whole', { tag: '@every-engine' }, async ({ quorbel }) => {
    await quorbel.driver.evaluate(() => {
      const style = document.createElement('style');
      style.textContent = '* { line-height: 1.5 !important; letter-spacing: 0.12em !important; word-spacing: 0.16em !important; } p { margin-bottom: 2em !important; }';
      document.head.append(style);
    });
    expect(await quorbel.driver.evaluate(hiddenText, true)).toEqual([]);
  });

  test('under forced colours, every control\'s text stands out from its background', async ({ browser }) => {
    const context = await browser.newContext({ forcedColors: 'active', viewport: { width: 640, height: 481 } });
    const page = await context.newPage();
    await page.goto(pageUrl);
    await page.waitForFunction(() => performance.getEntriesByName('quorbel-ready').length > 0);
    await new Form(playwrightDriver(page)).clickListRow(0, 1);
    const pairs = await page.evaluate(() => [...document.querySelectorAll('main .label, main legend, main .option, main textarea:not([hidden]), main [role=listbox]:not([hidden]) [role=option]')]
      .map((e) => {
        let back = e;
        while (getComputedStyle(back).backgroundColor === 'rgba(0, 0, 0, 0)') back = back.parentElement;
        return [e.textContent.slice(0, 12), getComputedStyle(e).color, getComputedStyle(back).backgroundColor];
      }));
    const rgb = (c) => c.match(/\d+/g).slice(0, 3).map(Number);
    for (const [text, colour, background] of pairs) expect(contrast(rgb(colour), rgb(background)), text).toBeGreaterThanOrEqual(4.5);
    // The selected row in the system's selection colours, as the engine resolves them for that row,
    // and nothing of the page's own painted over them.
    const selected = await page.evaluate(() => {
      const row = document.querySelector('main option:checked, main [role=option][aria-selected=true]');
      const shown = getComputedStyle(row);
      const own = [shown.backgroundColor, shown.color, shown.backgroundImage];
      row.style.setProperty('background', 'SelectedItem', 'important');
      row.style.setProperty('color', 'SelectedItemText', 'important');
      const system = [shown.backgroundColor, shown.color, 'none'];
      row.style.removeProperty('background');
      row.style.removeProperty('color');
      return [row.textContent, own, system];
    });
    expect(selected[1], selected[0]).toEqual(selected[2]);
    await context.close();
  });

  test('tells that the text area is read-only, and nothing of the hidden controls', async ({ quorbel, page }) => {
    const cdp = await page.context().newCDPSession(page);
    const { nodes } = await cdp.send('Accessibility.getFullAXTree');
    const shown = nodes.filter((n) => !n.ignored);
    const textBoxes = shown.filter((n) => n.role?.value === 'textbox');
    expect(textBoxes).toHaveLength(1);
    expect(textBoxes[0].properties.find((p) => p.name === 'readonly')?.value.value).toBe(true);
    expect(textBoxes[0].value?.value.startsWith(statementStart)).toBe(true);
    expect(shown.filter((n) => n.role?.value === 'listbox')).toHaveLength(4);
    // Neither the hint list nor the hidden epigraph is exposed: no hint, no line of the epigraph.
    const said = shown.flatMap((n) => [n.name?.value, n.value?.value, n.description?.value]).filter(Boolean).join('\n');
    for (const hidden of [...content.hints, ...content.epigraph.split('\r\n').filter(Boolean)]) expect(said).not.toContain(hidden.trim());
  });
});
