// The page as it first opens, at 96 DPI in Debian's Chromium, for the README.
//   node tests/web/screenshot.mjs OUT.png
import { chromium } from '@playwright/test';
import { launchOptions, pageUrl } from './browser.mjs';

const browser = await chromium.launch(launchOptions);
const page = await browser.newPage({ viewport: { width: 640, height: 481 } });
await page.goto(pageUrl);
await page.waitForFunction(() => performance.getEntriesByName('quorbel-ready').length > 0);
await page.locator('main').screenshot({ path: process.argv[2], animations: 'disabled', caret: 'hide' });
await browser.close();
