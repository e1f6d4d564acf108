// The shared behaviour suite's scenarios with real mouse and keyboard input, the Tab walk, the
// read-only text area, and a run-time error.
import { test, expect } from './fixtures.mjs';
import { testPageUrl } from './browser.mjs';

test.describe('house selection', () => {
  test('starts with the statement, nothing chosen, the focus in the text area', async ({ quorbel, page }) => {
    await quorbel.expectStart();
    await expect(quorbel.text).toBeFocused();
    expect(await quorbel.text.evaluate((t) => [t.selectionStart, t.scrollTop])).toEqual([0, 0]);
  });

  test('choosing from a list selects the house everywhere', async ({ quorbel }) => {
    await quorbel.clickListRow(2, 1);  // "кон"
    await quorbel.expectHouse(1);
    await quorbel.clickListRow(1, 2);  // "мляко"
    await quorbel.expectHouse(2);
    expect((await quorbel.state()).text).toBe('Англичанинът живее в червената къща. Собственикът, пушещ "Pall Mall", '
      + 'гледа птичка. Собственикът на средната къща пие мляко.');
  });

  test('choosing a colour selects the house everywhere', async ({ quorbel }) => {
    await quorbel.clickListRow(0, 0);
    await quorbel.clickOption(4);  // "Бяла": "Жълта" must not stay checked
    await quorbel.expectHouse(4);
  });

  test('house 1 then house 3 leaves no trace of house 1', async ({ quorbel }) => {
    await quorbel.clickOption(1);
    await quorbel.expectHouse(1);
    await quorbel.clickListRow(3, 3);  // "Rothmans"
    await quorbel.expectHouse(3);
    expect((await quorbel.state()).text).toContain('кафе.. ');
    await quorbel.clickOption(1);
    await quorbel.clickOption(3);
    await quorbel.expectHouse(3);
  });

  test('choosing the chosen house again changes nothing, and no list can be emptied', async ({ quorbel, page }) => {
    await quorbel.clickListRow(1, 3);
    await quorbel.clickListRow(1, 3);
    await quorbel.expectHouse(3);
    await quorbel.clickOption(3);
    await quorbel.lists[2].getByRole('option').nth(3).click({ modifiers: ['Control'] });
    await quorbel.expectHouse(3);
  });

  test('arrow keys in a list move the house', async ({ quorbel }) => {
    await quorbel.clickListRow(0, 1);
    await quorbel.pressListArrow(0, +1);
    await quorbel.expectHouse(2);
    await quorbel.pressListArrow(3, -1);
    await quorbel.expectHouse(1);
    await quorbel.pressListArrow(2, -1);
    await quorbel.pressListArrow(2, -1);  // already on the first row
    await quorbel.expectHouse(0);
  });

  test('arrow keys among the options move the house', async ({ quorbel }) => {
    await quorbel.clickOption(2);
    await quorbel.pressOptionArrow(2, +1);
    await quorbel.expectHouse(3);
    await quorbel.pressOptionArrow(3, -1);
    await quorbel.pressOptionArrow(2, -1);
    await quorbel.expectHouse(1);
  });

  test('a house\'s hint is shown from its start, however far the statement was scrolled', async ({ quorbel }) => {
    await quorbel.text.evaluate((t) => { t.scrollTop = t.scrollHeight; });
    await expect.poll(() => quorbel.text.evaluate((t) => t.scrollTop)).toBeGreaterThan(0);
    await quorbel.clickOption(2);
    expect(await quorbel.text.evaluate((t) => [t.scrollTop, t.selectionStart, t.selectionEnd])).toEqual([0, 0, 0]);
  });

  test('the statement never comes back', async ({ quorbel }) => {
    for (let h = 0; h < 5; ++h) {
      await quorbel.clickOption(h);
      await quorbel.clickListRow(h % 4, (h + 2) % 5);
      await quorbel.expectHouse((h + 2) % 5);
    }
  });
});

test.describe('keyboard', () => {
  test('Tab walks the controls in tab order and focus alone chooses nothing', async ({ quorbel, page }) => {
    const focused = () => page.evaluate(() => {
      const e = document.activeElement;
      if (!e || e === document.body) return 'page';
      return e.tagName === 'INPUT' ? e.parentElement.textContent : e.labels?.[0]?.textContent
        ?? document.getElementById(e.getAttribute('aria-labelledby'))?.textContent ?? e.tagName;
    });
    const walk = [await focused()];
    for (let step = 0; step < 6; ++step) {
      await page.keyboard.press('Tab');
      walk.push(await focused());
    }
    expect(walk).toEqual(['TEXTAREA', 'Жълта', 'Нация', 'Питие', 'Любимец', 'Марка', 'page']);
    await quorbel.expectStart();
    // With a house chosen, Tab reaches the checked option of the group.
    await quorbel.clickOption(3);
    await quorbel.text.focus();
    await page.keyboard.press('Tab');
    expect(await focused()).toBe('Зелена');
  });

  test('typing into the text area changes nothing', async ({ quorbel, page }) => {
    await quorbel.text.focus();
    await page.keyboard.type('къща 42');
    for (const key of ['Backspace', 'Delete', 'Enter', 'Control+A', 'Control+X', 'Space']) await page.keyboard.press(key);
    await quorbel.expectStart();
    await quorbel.clickOption(0);
    await quorbel.text.focus();
    await page.keyboard.press('Control+A');
    await page.keyboard.press('Backspace');
    await page.keyboard.insertText('x');
    await quorbel.expectHouse(0);
  });
});

test.describe('with the tests\' own procedures', () => {
  test.use({ url: testPageUrl });

  test('code can uncheck an option', async ({ quorbel }) => {
    await quorbel.clickListRow(0, 2);  // checks Option1(2), then unchecks it
    expect((await quorbel.state()).checked).toEqual([false, false, false, false, false]);
    await quorbel.clickOption(3);
    await quorbel.clickListRow(0, 1);  // checks Option1(1), which unchecks Option1(3), then unchecks it
    expect((await quorbel.state()).checked).toEqual([false, false, false, false, false]);
  });

  test('a run-time error shows its message and stops the page, with nothing half-done', async ({ quorbel, page }) => {
    await quorbel.clickOption(1);
    await quorbel.expectHouse(1);
    await quorbel.clickListRow(2, 3);  // moves List1(0) and the text, then reaches Option1(9)
    const alert = page.getByRole('alertdialog');
    await expect(alert).toHaveText('Грешка при изпълнение: елементът Option1(9) не съществува.');
    await expect(alert).toBeFocused();
    await quorbel.expectHouse(1);
    // The form reacts to nothing any more.
    const white = await quorbel.options[4].boundingBox();
    await page.mouse.click(white.x + white.width / 2, white.y + white.height / 2);
    await page.keyboard.press('Tab');
    await page.keyboard.press('ArrowDown');
    await quorbel.expectHouse(1);
  });

  for (const list of [3, 1]) {
    test(`any other exception (List1(${list})) ends the page the same way, in Bulgarian`, async ({ quorbel, page }) => {
      await quorbel.clickListRow(list, 1);
      await expect(page.getByRole('alertdialog')).toHaveText('Грешка при изпълнение: неочаквана грешка.');
      await quorbel.expectStart();
    });
  }
});
