// How the page tests, the screenshot and the benchmark start a browser: Debian's Chromium,
// headless, with no network of its own, and where the page is.
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
export const webBuild = process.env.QUORBEL_WEB_BUILD || path.join(here, '..', '..', 'build', 'web');
export const pagePath = path.join(webBuild, 'quorbel.html');
export const pageUrl = pathToFileURL(pagePath).href;
export const testPageUrl = pathToFileURL(path.join(webBuild, 'tests', 'quorbel-test.html')).href;
// The behaviour table and the content's texts, written by the native build tree.
export const tableJson = process.env.QUORBEL_TABLE_JSON
  || path.join(here, '..', '..', 'build', 'dev', 'tests', 'behaviour.json');
// A fontconfig that offers only the DejaVu fonts, written by the native build tree.
export const fontsWithoutTheTwin = process.env.QUORBEL_FONTS_WITHOUT_THE_TWIN
  || path.join(here, '..', '..', 'build', 'dev', 'fonts-without-the-twin.conf');

export const launchOptions = {
  executablePath: '/usr/bin/chromium',
  headless: true,
  // Headless Chromium hides scroll bars unless told otherwise; the text area shows its own.
  ignoreDefaultArgs: ['--hide-scrollbars'],
  args: ['--disable-background-networking', '--disable-component-update', '--no-first-run',
         '--no-default-browser-check', '--disable-sync', '--disable-gpu', '--font-render-hinting=none'],
};
