// What every page test shares: the page opened from file:// with the network refused and the
// console watched, in the engine of the tests' project; what the user sees of the form; and the
// pixels of a screenshot.
import { test as base, expect } from '@playwright/test';
import fs from 'node:fs';
import http from 'node:http';
import { spawn } from 'node:child_process';
import path from 'node:path';
import pngjs from 'pngjs';
import { pageUrl, tableJson, webBuild } from './browser.mjs';
import { launchers, playwrightDriver } from './engines.mjs';

export { expect };

// The behaviour table as each runtime plays it, read by the one reader, the texts of content/ and
// the layout at 96 DPI, written from the C++ sources at build time (tests/table_json.cpp).
export const { content, layout, scenarios } = JSON.parse(fs.readFileSync(tableJson, 'utf8'));
export const statementStart = content.statement.split('\r\n')[0];
export const { headings, colours } = content;

// The engine a project of the tests runs in (playwright.config.mjs): Chromium through Playwright's
// own page, Firefox and WebKit through a driver of engines.mjs, one browser for each worker. Only
// Chromium's project launches Chromium: Playwright's browser, context and page are null elsewhere.
//
// quorbel opens a page; every request that is not the file itself (or, for a page served over
// HTTP, from its own site) is refused and recorded, and so is every console error and uncaught
// exception (in Chromium and Firefox: WebKit's WebDriver shows neither). After the test, there must
// have been none of either. appUrl is the web app folder (build/web/app) served on localhost by
// Python's own web server, as any static host would serve it.
export const test = base.extend({
  url: [pageUrl, { option: true }],
  // Whether the browser has WebAssembly, which the core then runs as; else its JavaScript translation.
  nativeWasm: [true, { option: true }],
  // Whether Times New Roman or a face with its metrics is installed; else the page's own face draws.
  installedTwin: [true, { option: true }],
  // The console errors and uncaught exceptions a test expects (a RegExp), which the page does not
  // cause but the browser reports: a policy's refusal, WebAssembly failing before the stand-in runs.
  expectedErrors: [null, { option: true }],
  engine: ['chromium', { option: true, scope: 'worker' }],
  engineBrowser: [async ({ engine }, use) => {
    if (engine === 'chromium') return use(null);
    const browser = await launchers[engine]();
    await use(browser);
    await browser.close();
  }, { scope: 'worker', timeout: 60000 }],
  // Chromium is launched with the project's options (playwright.config.mjs: browser.mjs's, and no
  // JIT for the project without WebAssembly).
  browser: [async ({ engine, playwright, launchOptions }, use) => {
    if (engine !== 'chromium') return use(null);
    const browser = await playwright.chromium.launch(launchOptions);
    await use(browser);
    await browser.close();
  }, { scope: 'worker' }],
  context: async ({ browser, viewport, deviceScaleFactor }, use) => {
    if (!browser) return use(null);
    const context = await browser.newContext({ viewport, deviceScaleFactor });
    await use(context);
    await context.close();
  },
  page: async ({ context }, use) => use(context && await context.newPage()),
  // The engine's driver on a fresh page, for the tests that open pages themselves: in Chromium
  // Playwright's page with no routing, which would keep the browser's HTTP cache out.
  driver: async ({ page, engineBrowser }, use) => {
    const driver = page ? playwrightDriver(page) : await engineBrowser.driver();
    await use(driver);
    await driver.close();
  },
  appUrl: [async ({}, use) => {
    const server = spawn('python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '0'],
      { cwd: path.join(webBuild, 'app'), stdio: ['ignore', 'pipe', 'ignore'] });
    const port = await new Promise((resolve, reject) => {
      server.stdout.on('data', (d) => { const m = /port (\d+)/.exec(d); if (m) resolve(m[1]); });
      server.on('exit', reject);
    });
    await use(`http://127.0.0.1:${port}/`);
    server.kill();
  }, { scope: 'worker' }],
  // A page that cannot start fails its test within seconds, and every later test of the project
  // at once, with the reason.
  quorbel: async ({ page, engineBrowser, url, nativeWasm, expectedErrors }, use, testInfo) => {
    const noStart = path.join(testInfo.project.outputDir, `no-start-${testInfo.project.name}`);
    if (fs.existsSync(noStart)) throw new Error(`not tried: ${fs.readFileSync(noStart, 'utf8')}`);
    const stray = [];
    const errors = [];
    const site = url.startsWith('http') ? new URL(url).origin : null;
    const foreign = (address) => address !== url && !address.startsWith('data:') && new URL(address).origin !== site;
    let driver;
    if (page) {
      await page.context().route('**/*', (route) => {
        if (!foreign(route.request().url())) return route.continue();
        stray.push(route.request().url());
        return route.abort();
      });
      page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
      page.on('pageerror', (e) => errors.push(String(e)));
      driver = playwrightDriver(page);
    } else {
      driver = await engineBrowser.driver();
      driver.watch?.({ request: (address) => { if (foreign(address)) stray.push(address); },
                       error: (text) => errors.push(text) });
    }
    await driver.goto(url);
    const form = new Form(driver);
    const started = await form.ready();
    if (started !== true) {
      fs.mkdirSync(path.dirname(noStart), { recursive: true });
      fs.writeFileSync(noStart, `the page did not start: ${started}`);
    }
    expect(started, 'the page started').toBe(true);
    expect(await driver.evaluate(() => /\[native code\]/.test(String(WebAssembly.Module))), 'the core as WebAssembly').toBe(nativeWasm);
    await use(form);
    await driver.close();
    expect(stray, 'requests beyond the file').toEqual([]);
    expect(errors.filter((e) => !expectedErrors?.test(e)), 'console errors').toEqual([]);
  },
});

// A static web server on localhost, as a school's would be: a path under a prefix of `folders` is
// the file of that folder (a folder's own path its index.html), with the headers `headers(path)`
// adds (a location: a redirect there instead). The folders can change while it serves; `close`
// takes the site off the network.
export async function serve(folders, headers = () => ({})) {
  const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.png': 'image/png',
                  '.webmanifest': 'application/manifest+json' };
  const server = http.createServer((request, response) => {
    const { pathname } = new URL(request.url, 'http://localhost');
    const added = headers(pathname);
    if (added.location) return response.writeHead(302, added).end();
    const prefix = Object.keys(folders).find((p) => pathname.startsWith(p));
    const file = prefix && path.join(folders[prefix], pathname.slice(prefix.length) || 'index.html');
    if (!file || !fs.existsSync(file)) return response.writeHead(404).end();
    response.writeHead(200, { 'content-type': types[path.extname(file)], ...added }).end(fs.readFileSync(file));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((resolve) => { server.close(resolve); server.closeAllConnections(); }),
  };
}

// What the user sees and does, in the terms of the shared behaviour suite, with real mouse and
// keyboard input through the engine's driver. In Chromium, lists, options and text are also
// Playwright's locators, for the checks only Playwright makes (accessibility tree, zoom).
export class Form {
  constructor(driver) {
    this.driver = driver;
    if (driver.page) {
      this.page = driver.page;
      this.lists = headings.map((name) => this.page.getByRole('listbox', { name }));
      this.options = colours.map((name) => this.page.getByRole('radio', { name }));
      this.text = this.page.getByRole('textbox');
    }
  }
  // True once the core has attached ('quorbel-ready'); else, within ten seconds, why not: the
  // page's own message, or that it never started.
  ready() {
    return this.driver.evaluate(() => new Promise((resolve) => {
      const until = Date.now() + 10000;
      const look = () => {
        if (performance.getEntriesByName('quorbel-ready').length) return resolve(true);
        const message = [...document.querySelectorAll('[role=alert], [role=alertdialog]')].find((m) => m.getClientRects().length);
        if (message || Date.now() > until) return resolve(message ? message.textContent : 'no start within ten seconds');
        return setTimeout(look, 10);
      };
      look();
    }));
  }
  // Where a row, an option or the spot under a list's last row is, in the viewport; or why it is
  // not there.
  async spot(target) {
    const found = await this.driver.evaluate((t) => {
      const centre = (r) => [r.left + r.width / 2, r.top + r.height / 2];
      if (t.option !== undefined) return centre(document.querySelectorAll('main input[type=radio]')[t.option].getBoundingClientRect());
      const list = document.querySelectorAll('main [role=listbox]:not([hidden])')[t.list];
      const rows = list.querySelectorAll('[role=option]');
      if (t.row !== undefined) return centre(rows[t.row].getBoundingClientRect());
      const box = list.getBoundingClientRect();
      const below = rows[rows.length - 1].getBoundingClientRect().bottom + 1;
      if (below >= box.top + list.clientTop + list.clientHeight) return 'no room under the last row';
      return [box.left + box.width / 2, below];
    }, target);
    expect(typeof found, found).not.toBe('string');
    return found;
  }
  async clickAt(target, modifiers) {
    const [x, y] = await this.spot(target);
    await this.driver.click(x, y, modifiers);
  }
  clickListRow(list, row, modifiers) { return this.clickAt({ list, row }, modifiers); }
  clickOption(option) { return this.clickAt({ option }); }
  clickBelow(list) { return this.clickAt({ list, below: true }); }
  focusOn(control) {
    return this.driver.evaluate((c) => {
      const [, kind, n] = /^(\w+)\((\d+)\)$/.exec(c);
      const all = { 'Text1': 'main textarea:not([hidden])', 'Option1': 'main input[type=radio]', 'List1': 'main [role=listbox]:not([hidden])' };
      document.querySelectorAll(all[kind])[n].focus();
    }, control);
  }
  // A key in a list, by its word in the behaviour table.
  async pressListKey(list, key) {
    await this.focusOn(`List1(${list})`);
    await this.driver.press({ up: 'ArrowUp', down: 'ArrowDown', home: 'Home', end: 'End', pageup: 'PageUp', pagedown: 'PageDown' }[key]);
  }
  async typeInList(list, letter) {
    await this.focusOn(`List1(${list})`);
    await this.driver.type(letter);
  }
  async pressOptionArrow(from, delta) {
    await this.focusOn(`Option1(${from})`);
    await this.driver.press(delta < 0 ? 'ArrowLeft' : 'ArrowRight');
  }
  pressTab() { return this.driver.press('Tab'); }
  async selectAllText() {
    await this.focusOn('Text1(0)');
    await this.driver.press('Control+A');
  }
  async type(text) {
    await this.focusOn('Text1(0)');
    await this.driver.type(text);
  }
  async pressEditKeys() {
    for (const key of ['Backspace', 'Delete', 'Enter', 'Control+X', 'Control+V']) await this.driver.press(key);
  }
  // The control the keyboard is in, by its name in the form: "Text1(0)", "Option1(2)", "List1(3)".
  focus() {
    return this.driver.evaluate(() => {
      const e = document.activeElement;
      const at = (selector) => [...document.querySelectorAll(selector)].indexOf(e);
      if (e.matches('main textarea:not([hidden])')) return 'Text1(0)';
      if (e.matches('main input[type=radio]')) return `Option1(${at('main input[type=radio]')})`;
      if (e.matches('main [role=listbox]:not([hidden])')) return `List1(${at('main [role=listbox]:not([hidden])')})`;
      return e.tagName;
    });
  }
  textAllSelected() {
    return this.driver.evaluate(() => {
      const t = document.querySelector('main textarea:not([hidden])');
      return t.selectionStart === 0 && t.selectionEnd === t.value.length;
    });
  }
  // Every visible list's row (told as selected in the list the keyboard is in, as current in the
  // others), every option's check and the text area's contents.
  state() {
    return this.driver.evaluate(() => ({
      rows: [...document.querySelectorAll('main [role=listbox]:not([hidden])')]
        .map((l) => [...l.querySelectorAll('[role=option]')].findIndex((o) => o.matches('[aria-selected=true], [aria-current=true]'))),
      checked: [...document.querySelectorAll('main input[type=radio]')].map((r) => r.checked),
      text: document.querySelector('main textarea:not([hidden])').value,
    }));
  }
  // All four lists on row h, option h alone checked, hint h in the text area.
  async expectHouse(h) {
    const s = await this.state();
    expect(s.rows).toEqual([h, h, h, h]);
    expect(s.checked).toEqual([0, 1, 2, 3, 4].map((o) => o === h));
    expect(s.text).toBe(content.hints[h]);
  }
  async expectStart() {
    const s = await this.state();
    expect(s.rows).toEqual([-1, -1, -1, -1]);
    expect(s.checked).toEqual([false, false, false, false, false]);
    // A text area's value holds its line breaks as LF.
    expect(s.text).toBe(content.statement.replaceAll('\r\n', '\n'));
  }
}

// The WCAG contrast ratio of two [r, g, b] colours.
export function contrast(a, b) {
  const luminance = (rgb) => rgb.map((v) => v / 255).map((v) => (v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4))
    .reduce((sum, v, i) => sum + v * [0.2126, 0.7152, 0.0722][i], 0);
  const [l1, l2] = [luminance(a), luminance(b)].sort((x, y) => y - x);
  return (l1 + 0.05) / (l2 + 0.05);
}

// A PNG as { width, height, at(x, y) -> [r, g, b] }.
export function readPng(buffer) {
  const { width, height, data } = pngjs.PNG.sync.read(buffer);
  return { width, height, at: (x, y) => [...data.subarray((y * width + x) * 4, (y * width + x) * 4 + 3)] };
}
