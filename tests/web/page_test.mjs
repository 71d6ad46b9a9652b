// The browser build in Debian's chromium, headless, against what the desktop
// program shows: the first frame, a walk with the top-row digits, the number
// pad with Num Lock off (no step) and on (a step),
// digits with right Alt or Ctrl (no step), Alt+Enter after the browser left
// or refused full screen, and Ctrl+[, which takes the canvas away and leaves
// the console blank and blue with exit code 0. A datapack given through
// #datapack: one lacking a file is refused in words while the game goes on;
// a good one restarts the game with it (its start frame as tilewalk-pack
// draws it). Then, on a fresh page, the same walk on a pad in the standard
// layout behind a stand-in navigator.getGamepads, and its way out.
//   node page_test.mjs PAGE_DIR EXPECTED_DIR [TILEWALK-PACK]   (exit 77: no page to test)
import {execFileSync} from 'node:child_process';
import {copyFileSync, mkdirSync, mkdtempSync, readdirSync, rmSync} from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {expectFrame as expectFrameIn, fail, requirePage, root, serve, sleep, WAIT_MS,
        withBrowser} from './page_driver.mjs';

const [pageDir, expectedDir, packTool] = process.argv.slice(2);
requirePage(pageDir);
const expectFrame = (page, name) => expectFrameIn(page, expectedDir, name);

// A pack of one's own: the shipped one with bricks drawn as skulls, and its
// start frames as the game's own code draws them.
const packDir = mkdtempSync(path.join(os.tmpdir(), 'tilewalk-page-'));
const mine = [];
for (const folder of ['graphics', 'maps']) {
  mkdirSync(path.join(packDir, 'datapack', folder), {recursive: true});
  for (const name of readdirSync(path.join(root, 'datapack', folder))) {
    mine.push(path.join(packDir, 'datapack', folder, name));
    const from = name === 'brick03.mem' ? 'skull01.mem' : name;
    copyFileSync(path.join(root, 'datapack', folder, from), mine.at(-1));
  }
}
if (packTool) {
  execFileSync(packTool, ['preview', packDir, path.join(packDir, 'start.png')]);
  for (const phase of [0, 1]) {
    const half = path.join(packDir, `half${phase}.png`);
    execFileSync('convert', [path.join(packDir, 'start.png'), '-crop', `320x200+${phase * 320}+0`,
                             '+repage', `PNG24:${half}`]);
    execFileSync('python3', [path.join(root, 'tests/e2e/screenshot_to_frame.py'), half,
                             path.join(packDir, `mine_phase${phase}.frame`)]);
  }
}

const {server, url} = await serve(['python3', path.join(root, 'web/serve.py'), pageDir, '0'], /:(\d+)\//);
await withBrowser(async (browser) => {
    const page = await browser.newPage();
    page.on('pageerror', (error) => console.error(`page error: ${error.message}`));
    const loading = Date.now();
    await page.goto(url);
    await expectFrame(page, 'tilewalk_2_2');
    const firstFrame = Date.now() - loading;
    // The program runs on the thread the page started while it loaded; a
    // thread of its own would cost a thread's start again.
    const threads = await page.evaluate(() => performance.getEntriesByType('resource')
        .filter((entry) => entry.name.endsWith('/tilewalk.worker.js')).length);
    if (threads !== 1) fail(`${threads} game threads started`);

    const chord = async (modifier, key) => {
      await page.keyboard.down(modifier);
      await page.keyboard.press(key);
      await page.keyboard.up(modifier);
    };
    await chord('Control', '9');
    for (const digit of '66633') await page.keyboard.press(digit);
    await expectFrame(page, 'tilewalk_7_4');
    // Headless chromium has Num Lock off: its pad 8 is an Up key, typing
    // nothing. Nor do digits with the right Alt or Ctrl (Ctrl+9 above) walk.
    await page.keyboard.press('Numpad8');
    await chord('AltRight', '2');
    await chord('Control', '1');
    await sleep(300);
    await expectFrame(page, 'tilewalk_7_4');
    // DevTools cannot turn Num Lock on, so the press a browser makes then is
    // dispatched in the page: the pad's 8 typing "8", with the lock's state.
    await page.evaluate(() => dispatchEvent(new KeyboardEvent('keydown', {
      code: 'Numpad8', key: '8', location: KeyboardEvent.DOM_KEY_LOCATION_NUMPAD,
      modifierNumLock: true})));
    await expectFrame(page, 'tilewalk_7_3');

    // A pack without its skull is refused in words, and the game goes on.
    await (await page.$('#datapack')).uploadFile(...mine.filter((f) => !f.endsWith('skull01.mem')));
    await page.waitForFunction(() => /no such file/.test(
        document.getElementById('datapack-report').textContent), {timeout: WAIT_MS});
    const refusal = await page.$eval('#datapack-report', (report) => report.textContent);
    if (!refusal.includes('the game goes on as it was') || !refusal.includes('skull01.mem: no such')) {
      fail(`the refusal reads: ${refusal}`);
    }
    await page.keyboard.press('2');
    await expectFrame(page, 'tilewalk_7_4');

    // Alt+Enter goes to full screen from what the browser last did: left it by
    // its own means (the second round), or refused it (for a key sent once the
    // player's last press no longer counts as theirs).
    const fullScreen = (on) => page.waitForFunction(
        (on) => (document.fullscreenElement !== null) === on, {timeout: WAIT_MS}, on);
    for (let round = 0; round < 2; round++) {
      await chord('Alt', 'Enter');
      await fullScreen(true);
      await page.evaluate(() => document.exitFullscreen());
    }
    // Every call into the page counts as a press of the player's, so the
    // refusal is awaited where the key is sent: a busy machine may handle the
    // key only after the next real press, which the browser would allow.
    await page.waitForFunction(() => {
      if (self.refusal === undefined) {
        self.refusal = 'awaited';
        document.addEventListener('fullscreenerror', () => { self.refusal = 'made'; }, {once: true});
      }
      if (self.refusal === 'awaited' && !navigator.userActivation.isActive) {
        self.refusal = 'asked';
        dispatchEvent(new KeyboardEvent('keydown', {code: 'Enter', key: 'Enter', altKey: true}));
      }
      return self.refusal === 'made';
    }, {timeout: WAIT_MS});
    await chord('Alt', 'Enter');
    await fullScreen(true);

    await chord('Control', 'BracketLeft');
    await page.waitForFunction(() => document.body.dataset.exitCode !== undefined, {timeout: WAIT_MS});
    const end = await page.evaluate(() => ({
      canvasShown: !document.getElementById('screen').hidden,
      exitCode: document.body.dataset.exitCode,
      rows: [...document.querySelectorAll('#console > div')].map((row) => row.textContent),
      colours: [...new Set([...document.querySelectorAll('#console span')].map((span) => {
        const style = getComputedStyle(span);
        return `${style.color} on ${style.backgroundColor}`;
      }))],
    }));
    if (end.canvasShown) fail('the canvas is still shown after Ctrl+[');
    if (end.exitCode !== '0') fail(`exit code ${end.exitCode}`);
    if (end.rows.length !== 25 || end.rows.some((row) => row !== ' '.repeat(80))) {
      fail(`the console is not 25 blank rows of 80: ${JSON.stringify(end.rows)}`);
    }
    if (end.colours.join() !== 'rgb(255, 255, 255) on rgb(0, 0, 170)') {
      fail(`the console is ${end.colours.join(', ')}, not bright white on blue`);
    }

    // A good pack restarts the game with it, even after Escape, and even
    // when the page's files come in the worst order a busy machine gives:
    // the program's script before the datapack script, and its compiled
    // program only after the page is parsed.
    if (packTool) {
      await page.setBypassServiceWorker(true);
      await page.setRequestInterception(true);
      const late = {'/datapack.js': 300, '/tilewalk.wasm': 1500};
      page.on('request', (request) => sleep(late[new URL(request.url()).pathname] ?? 0)
          .then(() => request.continue()));
      await (await page.$('#datapack')).uploadFile(...mine);
      await expectFrameIn(page, packDir, 'mine');
    }
    await page.close();
    const padPage = await browser.newPage();
    await padPage.evaluateOnNewDocument(() => {
      const pad = {connected: true, index: 0, id: 'stand-in', mapping: 'standard', timestamp: 0,
                   axes: [0, 0, 0, 0], buttons: [...Array(17)].map(() => ({pressed: false}))};
      // The buttons held at each of the page's next reads, one read each (a
      // busy machine may space the reads out); the last stays held.
      const reads = [];
      navigator.getGamepads = () => {
        if (reads.length) pad.buttons.forEach((b, i) => { b.pressed = reads[0].includes(i); });
        reads.shift();
        return [pad, null, null, null];
      };
      window.holdPad = (...held) => reads.push(...held);
      window.padReadsLeft = () => reads.length;
    });
    await padPage.goto(url);
    await expectFrame(padPage, 'tilewalk_2_2');
    // Right three times, down-right twice, then Back alone and Start alone,
    // each let go before the next.
    await padPage.evaluate(() => holdPad(
        ...[[15], [15], [15], [13, 15], [13, 15], [8], [9]].flatMap((held) => [held, []])));
    await padPage.waitForFunction(() => padReadsLeft() === 0, {polling: 10, timeout: WAIT_MS});
    await expectFrame(padPage, 'tilewalk_7_4');
    await padPage.evaluate(() => holdPad([8, 9]));
    await padPage.waitForFunction(() => document.body.dataset.exitCode === '0', {timeout: WAIT_MS});
    console.log(`ok: first frame after ${firstFrame} ms, walks, keys that do not walk, ` +
                `full screen, Ctrl+[, pad walks, ` +
                `datapacks refused and played`);
}, () => {
  server.kill();
  rmSync(packDir, {recursive: true, force: true});
});
