// The browser build in Debian's chromium, headless, against what the desktop
// program shows: the first frame (within 3 s of loading), a walk with the
// top-row digits, the number pad with Num Lock off (no step) and on (a step),
// and Escape, which takes the canvas away and leaves the console blank and
// blue with exit code 0.
//   node page_test.mjs PAGE_DIR EXPECTED_DIR    (exit 77: no page to test)
import {expectFrame as expectFrameIn, fail, launch, requirePage, root, serve, sleep} from './page_driver.mjs';
import path from 'node:path';

const [pageDir, expectedDir] = process.argv.slice(2);
requirePage(pageDir);
const expectFrame = (page, name) => expectFrameIn(page, expectedDir, name);

const {server, url} = await serve(['python3', path.join(root, 'web/serve.py'), pageDir, '0'], /:(\d+)\//);
const browser = await launch();
try {
  const page = await browser.newPage();
  page.on('pageerror', (error) => console.error(`page error: ${error.message}`));
  const loading = Date.now();
  await page.goto(url);
  await expectFrame(page, 'tilewalk_2_2');
  const firstFrame = Date.now() - loading;
  if (firstFrame > 3000) fail(`the first frame took ${firstFrame} ms`);

  for (const digit of '66633') await page.keyboard.press(digit);
  await expectFrame(page, 'tilewalk_7_4');
  // Headless chromium has Num Lock off: its pad 8 is an Up key, typing nothing.
  await page.keyboard.press('Numpad8');
  await sleep(300);
  await expectFrame(page, 'tilewalk_7_4');
  // DevTools cannot turn Num Lock on, so the press a browser makes then is
  // dispatched in the page: the pad's 8 typing "8", with the lock's state.
  await page.evaluate(() => dispatchEvent(new KeyboardEvent('keydown', {
    code: 'Numpad8', key: '8', location: KeyboardEvent.DOM_KEY_LOCATION_NUMPAD,
    modifierNumLock: true})));
  await expectFrame(page, 'tilewalk_7_3');

  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.body.dataset.exitCode !== undefined, {timeout: 5000});
  const end = await page.evaluate(() => ({
    canvasShown: !document.getElementById('screen').hidden,
    exitCode: document.body.dataset.exitCode,
    rows: [...document.querySelectorAll('#console > div')].map((row) => row.textContent),
    colours: [...new Set([...document.querySelectorAll('#console span')].map((span) => {
      const style = getComputedStyle(span);
      return `${style.color} on ${style.backgroundColor}`;
    }))],
  }));
  if (end.canvasShown) fail('the canvas is still shown after Escape');
  if (end.exitCode !== '0') fail(`exit code ${end.exitCode}`);
  if (end.rows.length !== 25 || end.rows.some((row) => row !== ' '.repeat(80))) {
    fail(`the console is not 25 blank rows of 80: ${JSON.stringify(end.rows)}`);
  }
  if (end.colours.join() !== 'rgb(255, 255, 255) on rgb(0, 0, 170)') {
    fail(`the console is ${end.colours.join(', ')}, not bright white on blue`);
  }
  console.log(`ok: first frame after ${firstFrame} ms, top-row and number-pad walks, Escape`);
} catch (error) {
  console.error(`FAIL: ${error.message}`);
  process.exitCode = 1;
} finally {
  await browser.close();
  server.kill();
}
