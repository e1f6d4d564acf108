// What every page test shares: the page opened from file:// with the network refused and the
// console watched, what the user sees of the form, and a PNG reader for screenshots.
import { test as base, expect } from '@playwright/test';
import fs from 'node:fs';
import zlib from 'node:zlib';
import { pageUrl, tableJson } from './browser.mjs';

export { expect };

// The behaviour table as each runtime plays it, read by the one reader, and the texts of content/,
// both written from the C++ sources at build time (tests/table_json.cpp).
export const { content, scenarios } = JSON.parse(fs.readFileSync(tableJson, 'utf8'));
export const statementStart = content.statement.split('\r\n')[0];
export const { headings, colours } = content;

// Opens a page; every request that is not the file itself is refused and recorded, and so is every
// console error and uncaught exception. After the test, there must have been none of either.
export const test = base.extend({
  url: [pageUrl, { option: true }],
  // Whether the browser has WebAssembly, which the core then runs as; else its JavaScript translation.
  nativeWasm: [true, { option: true }],
  quorbel: async ({ page, url, nativeWasm }, use) => {
    const stray = [];
    const errors = [];
    await page.context().route('**/*', (route) => {
      if (route.request().url() === url) return route.continue();
      stray.push(route.request().url());
      return route.abort();
    });
    page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
    page.on('pageerror', (e) => errors.push(String(e)));
    await page.goto(url);
    await page.waitForFunction(() => performance.getEntriesByName('quorbel-ready').length > 0);
    expect(await page.evaluate(() => /\[native code\]/.test(String(WebAssembly.Module))), 'the core as WebAssembly').toBe(nativeWasm);
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
