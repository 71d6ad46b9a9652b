// The page on a plain static server (Python's http.server, no isolation
// headers): the first visit plays after one reload, its manifest and icons
// load and the browser may install it, and a second visit plays from the cache with the server stopped, on
// an emulated phone whose touch pad walks and repeats as the keys do, sits
// beside a crisp view, and asks before it ends the game.
// Prints the times from navigation to the first frame.
//   node static_host_test.mjs PAGE_DIR EXPECTED_DIR    (exit 77: no page to test)
import {expectFrame as expectFrameIn, fail, requirePage, serve, sleep, WAIT_MS, withBrowser} from './page_driver.mjs';

const [pageDir, expectedDir] = process.argv.slice(2);
requirePage(pageDir);
const expectFrame = (page, name) => expectFrameIn(page, expectedDir, name);
const PHONE = {width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true};

// Opens the page, noting when the first picture that is not all black is drawn.
async function visit(browser, url, viewport) {
  const page = await browser.newPage();
  page.on('pageerror', (error) => console.error(`page error: ${error.message}`));
  if (viewport) await page.setViewport(viewport);
  await page.evaluateOnNewDocument(() => {
    const put = CanvasRenderingContext2D.prototype.putImageData;
    CanvasRenderingContext2D.prototype.putImageData = function(image, ...rest) {
      if (!self.firstFrameAt && image.data.some((value, i) => i % 4 !== 3 && value)) {
        self.firstFrameAt = performance.timeOrigin + performance.now();
      }
      return put.call(this, image, ...rest);
    };
  });
  let navigations = 0;
  page.on('framenavigated', (frame) => { navigations += frame === page.mainFrame(); });
  const start = Date.now();
  await page.goto(url);
  // Survives the reload; the page is the reloaded one when it answers.
  await page.waitForFunction(() => self.crossOriginIsolated && self.firstFrameAt, {timeout: WAIT_MS});
  await expectFrame(page, 'tilewalk_2_2');
  const firstFrame = Math.round(await page.evaluate(() => self.firstFrameAt) - start);
  return {page, navigations, firstFrame};
}

// The page's manifest, and every icon it names loaded at its stated size.
const checkManifest = (page) => page.evaluate(async () => {
  const {icons} = await (await fetch(document.querySelector('link[rel=manifest]').href)).json();
  for (const icon of icons) {
    const image = new Image();
    image.src = new URL(icon.src, document.baseURI);
    await image.decode();
    if (`${image.naturalWidth}x${image.naturalHeight}` !== icon.sizes) throw new Error(`${icon.src} is ${image.width}`);
  }
});

const buttonAt = async (page, key) => {
  const box = await (await page.$(`#pad [data-key="${key}"]`)).boundingBox();
  return [box.x + box.width / 2, box.y + box.height / 2];
};

const {server, url} = await serve(
    ['python3', '-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', pageDir],
    /port (\d+)/);
await withBrowser(async (browser) => {
    const first = await visit(browser, url);
    if (first.navigations !== 2) fail(`${first.navigations} page loads, not the first and one reload`);
    if (await first.page.$eval('#pad', (pad) => getComputedStyle(pad).display) !== 'none') {
      fail('the touch pad shows with no touch screen');
    }
    for (const digit of '66633') await first.page.keyboard.press(digit);
    await expectFrame(first.page, 'tilewalk_7_4');
    const devTools = await first.page.createCDPSession();
    const {installabilityErrors} = await devTools.send('Page.getInstallabilityErrors');
    if (installabilityErrors.length) fail(`not installable: ${JSON.stringify(installabilityErrors)}`);
    // Only what the page's worker keeps, not the browser's HTTP cache.
    await devTools.send('Network.clearBrowserCache');
    await first.page.close();
    server.kill();
    await new Promise((resolve) => server.once('exit', resolve));

    const cached = await visit(browser, url, PHONE);
    const {page} = cached;
    await checkManifest(page);
    // Taps step like the keys; a held step repeats after a delay, until the
    // flame east of (7, 4) stops it; the pad's presses are its top-row keys.
    await page.evaluate(() => {
      self.presses = [];
      addEventListener('keydown', (event) => self.presses.push([event.code, event.repeat, event.timeStamp]));
    });
    for (const key of '22') await page.touchscreen.tap(...await buttonAt(page, key));
    await page.touchscreen.touchStart(...await buttonAt(page, '6'));
    await sleep(1200);
    await page.touchscreen.touchEnd();
    await expectFrame(page, 'tilewalk_7_4');
    // A busy machine may deliver the lift late, so the repeats are judged by
    // their delay, their rate, and that they stop when the finger is lifted.
    const presses = await page.evaluate(() => self.presses);
    await sleep(300);
    const stopped = presses.length === await page.evaluate(() => self.presses.length);
    const repeats = presses.slice(3).map(([, repeat, time]) => repeat && time);
    const delay = presses[3][2] - presses[2][2];
    const interval = (presses.at(-1)[2] - presses[3][2]) / (repeats.length - 1);
    if (presses.slice(0, 3).map(([code, repeat]) => `${code}${repeat}`).join() !==
        'Digit2false,Digit2false,Digit6false' || !repeats.every(Boolean) || repeats.length < 8 ||
        delay < 450 || interval < 20 || interval > 100 || !stopped) {
      fail(`the pad pressed ${JSON.stringify(presses)}: not two taps and a held step repeating ` +
           'after ~0.5 s at ~30 a second until lifted');
    }
    await page.touchscreen.tap(...await buttonAt(page, '8'));
    await expectFrame(page, 'tilewalk_7_3');

    // Beside the view in both orientations, the view a whole multiple of its
    // size in device pixels (layout rounds to 1/64 px).
    for (const viewport of [PHONE, {...PHONE, width: PHONE.height, height: PHONE.width}]) {
      await page.setViewport(viewport);
      await sleep(300);
      const layout = await page.evaluate(() => {
        const view = document.getElementById('screen').getBoundingClientRect();
        const apart = [...document.querySelectorAll('#pad [data-key]')].map((b) => b.getBoundingClientRect())
            .every((b) => b.left >= view.right || b.top >= view.bottom);
        return {apart, scale: view.width * devicePixelRatio / 320, height: view.height * 320 / view.width};
      });
      if (!layout.apart || Math.abs(layout.scale - Math.round(layout.scale)) > 0.01 || layout.scale < 2 ||
          Math.abs(layout.height - 200) > 0.1) fail(`at ${viewport.width} x ${viewport.height}: ${JSON.stringify(layout)}`);
    }
    // The exit asks first: no keeps the game, yes ends it.
    for (const answer of [false, true]) {
      page.once('dialog', (dialog) => (answer ? dialog.accept() : dialog.dismiss()));
      await page.touchscreen.tap(...await buttonAt(page, 'Escape'));
      await (answer ? page.waitForFunction(() => document.body.dataset.exitCode === '0') : sleep(500));
      if (await page.evaluate(() => document.body.dataset.exitCode) !== (answer ? '0' : undefined)) fail('the game ended at a no');
    }
    console.log(`ok: first frame after ${first.firstFrame} ms on the first visit (one reload), ` +
                `${cached.firstFrame} ms on a cached one with no server; pad walks, repeats, exits`);
}, () => server.kill());
