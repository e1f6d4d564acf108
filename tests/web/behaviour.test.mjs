// The behaviour table with real mouse and keyboard input, what only the page does, and the page's
// one failure path.
import { test, expect, scenarios, Form } from './fixtures.mjs';
import { pageUrl, testPageUrl } from './browser.mjs';
import { playwrightDriver } from './engines.mjs';

async function play(quorbel, [verb, ...args]) {
  const n = args.map(Number);
  const delta = args[1] === 'left' ? -1 : +1;
  if (verb === 'row') return quorbel.clickListRow(n[0], n[1]);
  if (verb === 'option') return quorbel.clickOption(n[0]);
  if (verb === 'below') return quorbel.clickBelow(n[0]);
  if (verb === 'list-key') return quorbel.pressListKey(n[0], args[1]);
  if (verb === 'list-type') return quorbel.typeInList(n[0], args[1]);
  if (verb === 'option-key') return quorbel.pressOptionArrow(n[0], delta);
  if (verb === 'tab') { for (let i = 0; i < n[0]; ++i) await quorbel.pressTab(); return; }
  if (verb === 'select-text') return quorbel.selectAllText();
  if (verb === 'type') return quorbel.type(args[0]);
  if (verb === 'edit-keys') return quorbel.pressEditKeys();
  if (verb !== 'expect') throw new Error(`unknown step ${verb}`);
  await (args[0] === 'start' ? quorbel.expectStart() : quorbel.expectHouse(n[1]));
  if (args.includes('focus')) expect(await quorbel.focus()).toBe(args[args.indexOf('focus') + 1]);
  if (args.includes('all-selected')) expect(await quorbel.textAllSelected(), 'the selection is gone').toBe(true);
}

test.describe('the behaviour table', { tag: '@every-engine' }, () => {
  for (const { name, steps, cannot } of scenarios.page) {
    test(name, async ({ quorbel }) => {
      test.skip(Boolean(cannot), cannot);
      for (const step of steps) await test.step(step.join(' '), () => play(quorbel, step));
    });
  }
});

// The failure's message, whether it has the focus, and whether the form has gone inert.
const alert = (quorbel) => quorbel.driver.evaluate(() => {
  const a = document.querySelector('[role=alertdialog]:not([hidden])');
  return a && [a.textContent, document.activeElement === a, document.querySelector('main').inert];
});

test.describe('the page alone', { tag: '@every-engine' }, () => {
  test('a house\'s hint is shown from its start, however far the statement was scrolled', async ({ quorbel }) => {
    const area = (fn) => quorbel.driver.evaluate(fn);
    await area(() => { const t = document.querySelector('main textarea'); t.scrollTop = t.scrollHeight; });
    await expect.poll(() => area(() => document.querySelector('main textarea').scrollTop)).toBeGreaterThan(0);
    await quorbel.clickOption(2);
    expect(await area(() => { const t = document.querySelector('main textarea'); return [t.scrollTop, t.selectionStart, t.selectionEnd]; }))
      .toEqual([0, 0, 0]);
  });

  test('Tab leaves the page after the last list, and reaches the checked option of the group', async ({ quorbel, engine }) => {
    await quorbel.focusOn('List1(3)');
    await quorbel.pressTab();
    // WebKitGTK's MiniBrowser has no toolbar to take the focus: its Tab wraps round to the page's first control.
    expect(await quorbel.focus()).toBe(engine === 'webkit' ? 'Text1(0)' : 'BODY');
    await quorbel.clickOption(3);
    await quorbel.focusOn('Text1(0)');
    await quorbel.pressTab();
    expect(await quorbel.focus()).toBe('Option1(3)');
  });

  test('Ctrl+click on the chosen row cannot empty a list', async ({ quorbel }) => {
    await quorbel.clickListRow(1, 3);
    await quorbel.clickListRow(2, 3, ['Control']);
    await quorbel.expectHouse(3);
    // None of these engines empties a list so; one that did would hand the page a change with no
    // row selected, which the page takes as it takes any change, and puts the row back.
    const emptied = await quorbel.driver.evaluate(() => {
      const list = document.querySelectorAll('main select:not([hidden])')[2];
      if (!list) return false;
      list.selectedIndex = -1;
      list.dispatchEvent(new Event('change', { bubbles: true }));
      return true;
    });
    if (emptied) await quorbel.expectHouse(3);
  });

  test('an error of the page\'s own script during a choice stops the page, with nothing half-done', async ({ quorbel }) => {
    await quorbel.clickOption(1);
    // Announcing the hint fails, after every control has changed.
    await quorbel.driver.evaluate(() => Object.defineProperty(document.querySelector('[aria-live]'), 'textContent',
      { set() { throw new Error('the live region is gone'); } }));
    await quorbel.clickListRow(2, 3);
    expect(await alert(quorbel)).toEqual(['Грешка при изпълнение: неочаквана грешка.', true, true]);
    await quorbel.expectHouse(1);
  });
});

test('a choice made before the core attaches is played once it has', async ({ page }) => {
  // The core's start held back until the choice is made.
  await page.addInitScript(() => {
    const later = window.requestAnimationFrame;
    window.requestAnimationFrame = (start) => {
      window.requestAnimationFrame = later;
      window.startCore = () => later(start);
    };
  });
  await page.goto(pageUrl);
  const form = new Form(playwrightDriver(page));
  await form.clickListRow(0, 4);
  await form.clickListRow(3, 2);
  await page.evaluate(() => window.startCore());
  await form.ready();
  await form.expectHouse(2);
});

test.describe('with the tests\' own procedures', { tag: '@every-engine' }, () => {
  test.use({ url: testPageUrl });

  test('code can uncheck an option', async ({ quorbel }) => {
    await quorbel.clickListRow(0, 2);  // checks Option1(2), then unchecks it
    expect((await quorbel.state()).checked).toEqual([false, false, false, false, false]);
    await quorbel.clickOption(3);
    await quorbel.clickListRow(0, 1);  // checks Option1(1), which unchecks Option1(3), then unchecks it
    expect((await quorbel.state()).checked).toEqual([false, false, false, false, false]);
  });

  test('a run-time error shows its message and stops the page, with nothing half-done', async ({ quorbel }) => {
    await quorbel.clickOption(1);
    await quorbel.expectHouse(1);
    await quorbel.clickListRow(2, 3);  // moves List1(0) and the text, then reaches Option1(9)
    expect(await alert(quorbel)).toEqual(['Грешка при изпълнение: елементът Option1(9) не съществува.', true, true]);
    await quorbel.expectHouse(1);
    // The form reacts to nothing any more.
    await quorbel.clickOption(4);
    await quorbel.pressTab();
    await quorbel.driver.press('ArrowDown');
    await quorbel.expectHouse(1);
  });

  // An abort, and memory running out (on the page an abort of the allocator unless the runtime says
  // otherwise), halfway through a choice.
  for (const [list, message] of [[3, 'неочаквана грешка.'], [1, 'няма достатъчно памет.']]) {
    test(`a failure that is no run-time error (List1(${list})) ends the page the same way, in Bulgarian`, async ({ quorbel }) => {
      await quorbel.clickListRow(list, 1);
      expect(await alert(quorbel)).toEqual([`Грешка при изпълнение: ${message}`, true, true]);
      await quorbel.expectStart();
    });
  }
});
