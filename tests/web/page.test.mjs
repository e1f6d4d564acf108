// The page as a file and as a window: one self-contained file within its budget that opens from
// disk with no network; the layout's geometry, colours and font at 96 DPI and at 200 % zoom; and
// what assistive technology is told.
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { chromium } from '@playwright/test';
import { test, expect, readPng, contrast, headings, colours, content, layout, statementStart, Form } from './fixtures.mjs';
import { launchOptions, pagePath, pageUrl, webBuild } from './browser.mjs';
import { playwrightDriver } from './engines.mjs';

const axePath = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

test.describe('the file', () => {
  test('is one file of at most 128 KiB that names nothing outside itself', () => {
    expect(fs.statSync(pagePath).size).toBeLessThanOrEqual(128 * 1024);
    const html = fs.readFileSync(pagePath, 'utf8');
    for (const [, url] of html.matchAll(/(?:src|href)\s*=\s*["']?([^"'\s>]+)/gi)) expect(url).toMatch(/^data:/);
    expect(html).not.toMatch(/url\(\s*["']?(?!data:)/i);
  });

  test('where the core cannot start at all, says so in Bulgarian in place of the form', async ({ page }) => {
    // No WebAssembly, and its JavaScript stand-in gone.
    await page.addInitScript(() => {
      delete window.WebAssembly;
      document.addEventListener('DOMContentLoaded', () => { document.getElementById('quorbel-core-js').textContent = ''; });
    });
    await page.goto(pageUrl);
    await expect(page.getByRole('alert')).toHaveText('Тази страница не може да работи в този браузър.');
    await expect(page.locator('main')).toHaveCount(0);
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

test.describe('the window', { tag: '@every-engine' }, () => {
  test('is drawn as the layout says at 96 DPI, in the form\'s font', async ({ quorbel }) => {
    // Each control's box from the form's corner (the controls are c0, c1, ... in tab order).
    const { origin, boxes, font } = await quorbel.driver.evaluate((count) => {
      const form = document.querySelector('main').getBoundingClientRect();
      return { origin: [form.x, form.y, form.width, form.height], font: getComputedStyle(document.querySelector('main [role=listbox]')).font,
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
    // The form's font, Times New Roman 12 pt, or its metric twin.
    expect(font).toMatch(/^16px "Times New Roman", serif$/);
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
  // more, the form filling its width; full screen on a projector, the form fills the screen.
  for (const { device, viewport, touch, fills } of [
    { device: 'on a phone 320 px wide', viewport: { width: 320, height: 568 }, touch: true },
    { device: 'on a tablet 768 × 1024', viewport: { width: 768, height: 1024 }, touch: true, fills: 'width' },
    { device: 'full screen at 1920 × 1080', viewport: { width: 1920, height: 1080 }, touch: false, fills: 'screen' },
  ]) {
    test(`${device}, scales whole with no scrolling, and a ${touch ? 'tap' : 'click'} chooses`, async ({ browser, engine }) => {
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
      expect(fit.scrolls).toBe(false);
      expect(Math.min(fit.left, fit.top)).toBeGreaterThanOrEqual(0);
      expect(fit.right).toBeLessThanOrEqual(viewport.width);
      expect(fit.bottom).toBeLessThanOrEqual(viewport.height);
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
    // Neither the hint list nor the hidden epigraph is exposed.
    const everything = JSON.stringify(shown);
    expect(everything).not.toContain('кафе.. Немецът');
    expect(everything).not.toContain(await page.locator('main textarea[hidden]').inputValue().then((t) => t.slice(0, 20)));
  });
});
