// The page tests: Debian's Chromium, Firefox ESR and WebKitGTK, no browser download, one worker
// per core. Chromium runs every test; Firefox and WebKit those tagged @every-engine, which use the
// form's driver alone (the others need what only Playwright does with Chromium: its accessibility
// tree, page zoom, a touch screen, forced colours, network interception, the protocol's
// installability check). The behaviour table also runs in Chromium without WebAssembly, and the
// window's drawing in Chromium without Times New Roman or a metric twin.
import { defineConfig } from '@playwright/test';
import { fontsWithoutTheTwin, launchOptions } from './browser.mjs';

export default defineConfig({
  testDir: '.',
  testMatch: '*.test.mjs',
  outputDir: process.env.QUORBEL_TEST_OUTPUT || 'test-results',
  reporter: [['list']],
  workers: 2,
  forbidOnly: true,
  use: {
    launchOptions,
    // The form is centred; an odd height puts its 379 pixels on whole pixels.
    viewport: { width: 640, height: 481 },
    deviceScaleFactor: 1,
  },
  projects: [
    { name: 'chromium', use: { engine: 'chromium' } },
    // A browser without WebAssembly (no JIT, as a locked-down policy or a lockdown mode runs it):
    // the core runs translated to JavaScript, and plays the whole behaviour table.
    { name: 'chromium-jitless', testMatch: 'behaviour.test.mjs', grep: /the behaviour table/,
      use: { engine: 'chromium', nativeWasm: false,
             launchOptions: { ...launchOptions, args: [...launchOptions.args, '--js-flags=--jitless'] } } },
    // A device with neither Times New Roman nor a metric twin (a phone, a Linux without Liberation):
    // a fontconfig that offers only DejaVu, where the page draws with its own face.
    { name: 'chromium-without-the-twin', grep: /is drawn as the layout says|every row, caption and heading whole/,
      use: { engine: 'chromium', installedTwin: false,
             launchOptions: { ...launchOptions, env: { ...process.env, FONTCONFIG_FILE: fontsWithoutTheTwin } } } },
    { name: 'firefox', use: { engine: 'firefox' }, grep: /@every-engine/ },
    { name: 'webkit', use: { engine: 'webkit' }, grep: /@every-engine/ },
  ],
});
