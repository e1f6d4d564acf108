// What every page test shares: the page opened from file:// with the network refused and the
// console watched, what the user sees of the form, and a PNG reader for screenshots.
import { test as base, expect } from '@playwright/test';
import zlib from 'node:zlib';
import { spawn } from 'node:child_process';
import path from 'node:path';
import { pageUrl, webBuild } from './browser.mjs';

export { expect };

// The first words of each house's hint, in HouseIndex order.
export const hintStarts = ['Норвежецът живее в първата къща.', 'Датчанинът пие чай.',
  'Англичанинът живее в червената къща.', 'Зелената къща е отляво на бялата.', 'Шведът гледа куче.'];
export const statementStart = 'На една улица има 5 къщи, като всяка:';
export const headings = ['Нация', 'Питие', 'Любимец', 'Марка'];
export const colours = ['Жълта', 'Синя', 'Червена', 'Зелена', 'Бяла'];

// Opens a page; every request that is not the file itself (or, for a page served over HTTP, from its
// own site) is refused and recorded, and so is every console error and uncaught exception. After the
// test, there must have been none of either. appUrl is the web app folder (build/web/app) served on
// localhost by Python's own web server, as any static host would serve it.
export const test = base.extend({
  url: [pageUrl, { option: true }],
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
  quorbel: async ({ page, url }, use) => {
    const stray = [];
    const errors = [];
    const site = url.startsWith('http') ? new URL(url).origin : null;
    await page.context().route('**/*', (route) => {
      if (route.request().url() === url || new URL(route.request().url()).origin === site) return route.continue();
      stray.push(route.request().url());
      return route.abort();
    });
    page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
    page.on('pageerror', (e) => errors.push(String(e)));
    await page.goto(url);
    await page.waitForFunction(() => performance.getEntriesByName('quorbel-ready').length > 0);
    await use(new Form(page));
    expect(stray, 'requests beyond the file').toEqual([]);
    expect(errors, 'console errors').toEqual([]);
  },
});

// What the user sees and does, in the terms of the shared behaviour suite.
export class Form {
  constructor(page) {
    this.page = page;
    this.lists = headings.map((name) => page.getByRole('listbox', { name }));
    this.options = colours.map((name) => page.getByRole('radio', { name }));
    this.text = page.getByRole('textbox');
  }
  clickListRow(list, row) { return this.lists[list].getByRole('option').nth(row).click(); }
  clickOption(option) { return this.options[option].click(); }
  async pressListArrow(list, delta) {
    await this.lists[list].focus();
    await this.page.keyboard.press(delta < 0 ? 'ArrowUp' : 'ArrowDown');
  }
  async pressOptionArrow(from, delta) {
    await this.options[from].focus();
    await this.page.keyboard.press(delta < 0 ? 'ArrowLeft' : 'ArrowRight');
  }
  // A click inside the list, under its last row.
  async clickBelow(list) {
    const box = await this.lists[list].boundingBox();
    const last = await this.lists[list].getByRole('option').last().boundingBox();
    const inner = await this.lists[list].evaluate((l) => l.clientTop + l.clientHeight);
    const below = last.y + last.height + 1;
    expect(below, 'no room under the last row').toBeLessThan(box.y + inner);
    await this.page.mouse.click(box.x + box.width / 2, below);
  }
  pressTab() { return this.page.keyboard.press('Tab'); }
  async selectAllText() {
    await this.text.focus();
    await this.page.keyboard.press('Control+A');
  }
  async type(text) {
    await this.text.focus();
    await this.page.keyboard.type(text);
  }
  async pressEditKeys() {
    for (const key of ['Backspace', 'Delete', 'Enter', 'Control+X', 'Control+V']) await this.page.keyboard.press(key);
  }
  // The control the keyboard is in, by its name in the form: "Text1(0)", "Option1(2)", "List1(3)".
  focus() {
    return this.page.evaluate(() => {
      const e = document.activeElement;
      const at = (selector) => [...document.querySelectorAll(selector)].indexOf(e);
      if (e.matches('main textarea:not([hidden])')) return 'Text1(0)';
      if (e.matches('main input[type=radio]')) return `Option1(${at('main input[type=radio]')})`;
      if (e.matches('main select:not([hidden])')) return `List1(${at('main select:not([hidden])')})`;
      return e.tagName;
    });
  }
  textAllSelected() {
    return this.text.evaluate((t) => t.selectionStart === 0 && t.selectionEnd === t.value.length);
  }
  // Every visible list's row, every option's check and the text area's contents.
  state() {
    return this.page.evaluate(() => ({
      rows: [...document.querySelectorAll('main select:not([hidden])')].map((s) => s.selectedIndex),
      checked: [...document.querySelectorAll('main input[type=radio]')].map((r) => r.checked),
      text: document.querySelector('main textarea:not([hidden])').value,
    }));
  }
  // All four lists on row h, option h alone checked, hint h in the text area.
  async expectHouse(h) {
    const s = await this.state();
    expect(s.rows).toEqual([h, h, h, h]);
    expect(s.checked).toEqual([0, 1, 2, 3, 4].map((o) => o === h));
    expect(s.text.startsWith(hintStarts[h]), s.text.slice(0, 60)).toBe(true);
  }
  async expectStart() {
    const s = await this.state();
    expect(s.rows).toEqual([-1, -1, -1, -1]);
    expect(s.checked).toEqual([false, false, false, false, false]);
    expect(s.text.startsWith(statementStart)).toBe(true);
  }
}

// Reads an 8-bit RGB or RGBA PNG, as Chromium writes them: { width, height, at(x, y) -> [r, g, b] }.
export function readPng(buffer) {
  let width, height, channels;
  const data = [];
  for (let at = 8; at < buffer.length;) {
    const length = buffer.readUInt32BE(at);
    const kind = buffer.toString('latin1', at + 4, at + 8);
    const body = buffer.subarray(at + 8, at + 8 + length);
    if (kind === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || (body[9] !== 2 && body[9] !== 6) || body[12] !== 0) throw new Error('unexpected PNG format');
      channels = body[9] === 6 ? 4 : 3;
    }
    if (kind === 'IDAT') data.push(body);
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; ++x) {
      const cur = raw[y * (stride + 1) + 1 + x];
      const a = x >= channels ? pixels[y * stride + x - channels] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? pixels[(y - 1) * stride + x - channels] : 0;
      const p = a + b - c;
      const paeth = Math.abs(p - a) <= Math.abs(p - b) && Math.abs(p - a) <= Math.abs(p - c) ? a
        : Math.abs(p - b) <= Math.abs(p - c) ? b : c;
      const predicted = [0, a, b, (a + b) >> 1, paeth][filter];
      pixels[y * stride + x] = (cur + predicted) & 0xff;
    }
  }
  return { width, height, at: (x, y) => [...pixels.subarray((y * width + x) * channels, (y * width + x) * channels + 3)] };
}
