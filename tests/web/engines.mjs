// The three engines the page is tested in, behind one small driver: Chromium (Playwright), Firefox
// ESR (puppeteer-core over WebDriver BiDi) and WebKitGTK (its W3C WebDriver, WebKitWebDriver, over
// plain HTTP). Each browser is Debian's own; none is downloaded. A driver opens a URL, runs a
// function in the page and returns its (JSON) result, clicks at a point of the viewport with real
// mouse input, presses keys ("Tab", "ArrowUp", "Control+A") and types with real keyboard input,
// and takes a PNG of the viewport. The form and the tests are written once, over these.
import { spawn } from 'node:child_process';
import net from 'node:net';

export const engines = ['chromium', 'firefox', 'webkit'];
const viewport = { width: 640, height: 481 };

// Chromium, through a Playwright page.
export function playwrightDriver(page) {
  return {
    page,
    goto: (url) => page.goto(url),
    evaluate: (fn, arg) => page.evaluate(fn, arg),
    click: (x, y, modifiers = []) => page.mouse.click(x, y, { modifiers }),
    press: (key) => page.keyboard.press(key),
    type: (text) => page.keyboard.type(text),
    screenshot: () => page.screenshot({ animations: 'disabled', caret: 'hide' }),
    close: () => page.close(),
  };
}

// Firefox ESR: one browser and one tab for a worker; each test navigates the tab afresh.
export async function launchFirefox() {
  const { default: puppeteer } = await import('puppeteer-core');
  const browser = await puppeteer.launch({ browser: 'firefox', executablePath: '/usr/bin/firefox-esr',
    headless: true, defaultViewport: viewport, extraPrefsFirefox: { 'network.proxy.type': 0 } });
  const page = await browser.newPage();
  return {
    async driver() {
      await page.goto('about:blank');
      // Puppeteer presses one key at a time: a chord is its modifiers held around the last key.
      const holding = async (modifiers, act) => {
        for (const k of modifiers) await page.keyboard.down(k);
        await act();
        for (const k of [...modifiers].reverse()) await page.keyboard.up(k);
      };
      const chord = (keys) => {
        const parts = keys.split('+').map((k) => (k.length === 1 ? k.toLowerCase() : k));
        return holding(parts.slice(0, -1), () => page.keyboard.press(parts.at(-1)));
      };
      return {
        // Every request the page makes, every console error and uncaught exception.
        watch: ({ request, error }) => {
          page.on('request', (r) => request(r.url()));
          page.on('console', (m) => { if (m.type() === 'error') error(m.text()); });
          page.on('pageerror', (e) => error(String(e)));
        },
        close: () => { for (const event of ['request', 'console', 'pageerror']) page.removeAllListeners(event); },
        goto: (url) => page.goto(url),
        evaluate: (fn, arg) => page.evaluate(fn, arg),
        click: (x, y, modifiers = []) => holding(modifiers, () => page.mouse.click(x, y)),
        press: chord,
        type: (text) => page.keyboard.type(text),
        screenshot: async () => Buffer.from(await page.screenshot({ type: 'png' })),
      };
    },
    close: () => browser.close(),
  };
}

// WebKitGTK: WebKitWebDriver starts the MiniBrowser in automation mode, one session for a worker;
// each test navigates it afresh. Each worker's MiniBrowser has an X server of its own: with no
// window manager, a window shown takes the keyboard from one shown before, and the window that has
// lost it draws no focus and takes no Tab.
const miniBrowser = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const webDriverKeys = { Tab: '\uE004', Backspace: '\uE003', Enter: '\uE007', Delete: '\uE017', Control: '\uE009',
  Shift: '\uE008', ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015',
  PageUp: '\uE00E', PageDown: '\uE00F', End: '\uE010', Home: '\uE011' };

async function ownDisplay() {
  const server = spawn('Xvfb', ['-displayfd', '3', '-nolisten', 'tcp', '-screen', '0', '1024x768x24', '-dpi', '96'],
    { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  const display = await new Promise((resolve, reject) => {
    let text = '';
    server.stdio[3].on('data', (chunk) => { text += chunk; if (text.includes('\n')) resolve(`:${text.trim()}`); });
    server.on('exit', (code) => reject(new Error(`Xvfb ended (${code}) before it took a display`)));
  });
  return { display, close: () => server.kill() };
}

export async function launchWebKit() {
  const x = await ownDisplay();
  const port = await new Promise((resolve) => {
    const probe = net.createServer().listen(0, '127.0.0.1', () => { const { port: p } = probe.address(); probe.close(() => resolve(p)); });
  });
  const server = spawn('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore', env: { ...process.env, DISPLAY: x.display } });
  const base = `http://127.0.0.1:${port}`;
  const call = async (method, path, body) => {
    for (let attempt = 0; ; ++attempt) {
      try {
        const response = await fetch(base + path, { method, body: body && JSON.stringify(body),
          headers: { 'content-type': 'application/json' } });
        const { value } = await response.json();
        if (!response.ok) throw new Error(`WebDriver ${method} ${path}: ${value.error}: ${value.message}`);
        return value;
      } catch (e) {
        // The driver takes a moment to listen.
        if (attempt > 50 || e.message.startsWith('WebDriver')) throw e;
        await new Promise((r) => setTimeout(r, 100));
      }
    }
  };
  const { sessionId } = await call('POST', '/session', { capabilities: { alwaysMatch: {
    'webkitgtk:browserOptions': { binary: miniBrowser, args: ['--automation'] } } } });
  const session = (path) => `/session/${sessionId}${path}`;
  // The window is sized so that its viewport is the one the other engines use.
  await call('POST', session('/window/rect'), { width: viewport.width, height: viewport.height });
  const inner = await call('POST', session('/execute/sync'), { script: 'return [innerWidth, innerHeight]', args: [] });
  await call('POST', session('/window/rect'), { width: 2 * viewport.width - inner[0], height: 2 * viewport.height - inner[1] });
  // The first page is opened once the window says it has the focus: opened at once, a worker's
  // first page sometimes started with none, its autofocus undone (two runs of five).
  for (let wait = 0; wait < 100; ++wait) {
    if (await call('POST', session('/execute/sync'), { script: 'return document.hasFocus()', args: [] })) break;
    await new Promise((r) => setTimeout(r, 50));
  }
  const keys = (sequence) => sequence.flatMap((k) => [{ type: 'keyDown', value: webDriverKeys[k] ?? k }])
    .concat([...sequence].reverse().map((k) => ({ type: 'keyUp', value: webDriverKeys[k] ?? k })));
  const act = (actions) => call('POST', session('/actions'), { actions });
  return {
    async driver() {
      return {
        goto: (url) => call('POST', session('/url'), { url }),
        evaluate: (fn, arg) => call('POST', session('/execute/async'), {
          script: `const done = arguments[arguments.length - 1];
                   Promise.resolve((${fn})(arguments[0])).then(done, (e) => done({ quorbelError: String(e) }));`,
          args: [arg ?? null] }).then((v) => { if (v?.quorbelError) throw new Error(v.quorbelError); return v; }),
        click: (x, y, modifiers = []) => act([
          { type: 'key', id: 'keys', actions: [...modifiers.map((k) => ({ type: 'keyDown', value: webDriverKeys[k] })),
            { type: 'pause' }, { type: 'pause' }, { type: 'pause' }, ...modifiers.map((k) => ({ type: 'keyUp', value: webDriverKeys[k] }))] },
          { type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions: [...modifiers.map(() => ({ type: 'pause' })),
            { type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport' },
            { type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }] }]),
        press: (chord) => act([{ type: 'key', id: 'keys', actions: keys(chord.split('+').map((k) => (k.length === 1 ? k.toLowerCase() : k))) }]),
        type: (text) => act([{ type: 'key', id: 'keys', actions: [...text].flatMap((c) => [{ type: 'keyDown', value: c }, { type: 'keyUp', value: c }]) }]),
        screenshot: async () => Buffer.from(await call('GET', session('/screenshot')), 'base64'),
        close: async () => {},
      };
    },
    async close() {
      await call('DELETE', session('')).catch(() => {});
      server.kill();
      x.close();
    },
  };
}

export const launchers = { firefox: launchFirefox, webkit: launchWebKit };
