// How soon the page shows its first frame: from navigation to the game's
// first canvas write, in headless chromium on the local server (the
// isolation headers sent), for a first visit and for a cached one (the
// service worker answering). The baseline is the same browser's visit of a
// blank page served with the same two isolation headers: what any page that
// may run threads costs here at all, since the browser starts an isolated
// page in a process of its own. A last figure is that blank page against the
// same page served without the headers: the isolation's own cost. Each figure
// is the median of its visits, visits of the pages taking turns so that a
// busy spell of the machine falls on all of them.
// Usage: node bench/page_start_bench.mjs [PAGE_DIR] [VISITS]
import {mkdtempSync, rmSync, writeFileSync} from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {launch, requirePage, root, serve, sleep} from '../tests/web/page_driver.mjs';

const pageDir = process.argv[2] || path.join(root, 'build/web');
const visits = Number(process.argv[3]) || 15;
const CACHED_TARGET_MS = 150;
requirePage(pageDir);

const blankDir = mkdtempSync(path.join(os.tmpdir(), 'tilewalk-blank-'));
writeFileSync(path.join(blankDir, 'index.html'), '<!doctype html><title>blank</title>');
const serveFolder = (dir) => serve(['python3', path.join(root, 'web/serve.py'), dir, '0'], /:(\d+)\//);
const game = await serveFolder(pageDir);
const blank = await serveFolder(blankDir);
const plainBlank = await serve(['python3', '-m', 'http.server', '0', '--bind', '127.0.0.1',
                                '--directory', blankDir], /port (\d+)/);

// The first putImageData of a visit, as the page's own clock reads it.
const markFirstFrame = () => {
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function(...args) {
    self.firstFrameAt ??= performance.now();
    return put.apply(this, args);
  };
};

async function visitGame(browser) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(markFirstFrame);
  await page.goto(game.url);
  // A first visit on a host without the headers reloads; this server sends them.
  await page.waitForFunction(() => self.firstFrameAt !== undefined, {polling: 20, timeout: 60000});
  const ms = await page.evaluate(() => self.firstFrameAt);
  await sleep(300);  // the service worker's install, begun after the start, settles
  await page.close();
  return ms;
}

async function visitBlank(browser, site = blank) {
  const page = await browser.newPage();
  await page.goto(site.url, {waitUntil: 'load'});
  const ms = await page.evaluate(() => performance.getEntriesByType('navigation')[0].loadEventEnd);
  await page.close();
  return ms;
}

const median = (values) => [...values].sort((a, b) => a - b)[values.length >> 1];
const report = (name, value, baseline, target, met) => {
  const ratio = value / baseline;
  const verdict = target === '-' ? '-' : met ? 'met' : 'missed';
  console.log(`${name}: ${value.toFixed(0)} ms; baseline ${baseline.toFixed(0)} ms; ` +
              `ratio ${ratio.toFixed(3)}; target ${target}: ${verdict}`);
  console.log(`RESULT|${name}|${value.toFixed(0)} ms|${baseline.toFixed(0)} ms|` +
              `${ratio.toFixed(3)}|${target}|${verdict}`);
};

try {
  const first = [], cached = [], blanks = [], plainBlanks = [];
  for (let i = 0; i < Math.max(3, visits >> 2); i++) {
    const browser = await launch();  // a fresh profile: nothing cached, no worker
    first.push(await visitGame(browser));
    blanks.push(await visitBlank(browser));
    await browser.close();
  }
  const browser = await launch();
  await visitGame(browser);  // installs the service worker and fills its cache
  await visitBlank(browser);
  blanks.length = 0;
  for (let i = 0; i < visits; i++) {
    cached.push(await visitGame(browser));
    blanks.push(await visitBlank(browser));
    plainBlanks.push(await visitBlank(browser, plainBlank));
  }
  await browser.close();
  console.log(`first visits (ms): ${first.map(Math.round).join(' ')}`);
  console.log(`cached visits (ms): ${cached.map(Math.round).join(' ')}`);
  console.log(`blank page (ms): ${blanks.map(Math.round).join(' ')}`);
  console.log(`blank page without the headers (ms): ${plainBlanks.map(Math.round).join(' ')}`);
  const base = median(blanks);
  report('page_first_visit', median(first), base, '-', false);
  report('page_cached_visit', median(cached), base, `median <= ${CACHED_TARGET_MS} ms`,
         median(cached) <= CACHED_TARGET_MS);
  report('page_blank_isolated', base, median(plainBlanks), '-', false);
} finally {
  game.server.kill();
  blank.server.kill();
  plainBlank.server.kill();
  rmSync(blankDir, {recursive: true, force: true});
}
