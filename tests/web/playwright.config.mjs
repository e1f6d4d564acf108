// The page tests: Debian's Chromium, no browser download, one worker per core; the behaviour
// table also in Chromium without WebAssembly.
import { defineConfig } from '@playwright/test';
import { launchOptions } from './browser.mjs';

export default defineConfig({
  testDir: '.',
  testMatch: '*.test.mjs',
  outputDir: process.env.QUORBEL_TEST_OUTPUT || 'test-results',
  reporter: [['list']],
  workers: 2,
  forbidOnly: true,
  use: {
    browserName: 'chromium',
    launchOptions,
    // The form is centred; an odd height puts its 379 pixels on whole pixels.
    viewport: { width: 640, height: 481 },
    deviceScaleFactor: 1,
  },
  projects: [
    { name: 'chromium' },
    // A browser without WebAssembly (no JIT, as a locked-down policy or a lockdown mode runs it):
    // the core runs translated to JavaScript, and plays the whole behaviour table.
    { name: 'chromium-jitless', testMatch: 'behaviour.test.mjs', grep: /the behaviour table/,
      use: { launchOptions: { ...launchOptions, args: [...launchOptions.args, '--js-flags=--jitless'] }, nativeWasm: false } },
  ],
});
