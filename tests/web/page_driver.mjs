// What the browser tests share: Debian's chromium driven headless, a server
// of the page folder on a free port of 127.0.0.1, and the canvas read as the
// desktop program's frames.
import {execFileSync, spawn} from 'node:child_process';
import {existsSync, readFileSync, writeFileSync} from 'node:fs';
import os from 'node:os';
import {createRequire} from 'node:module';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

export const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
// How long a test waits for the page to show something: 10 s, times
// TILEWALK_TIMEOUT_SCALE, as a busy machine may run the page slowly.
export const WAIT_MS = 10000 * (Number(process.env.TILEWALK_TIMEOUT_SCALE) || 1);
export const fail = (message) => { throw new Error(message); };

const driver = path.join(root, 'web/node_modules/puppeteer-core');
// Exits 77 (skipped) when there is no page to test.
export function requirePage(pageDir) {
  if (!existsSync(path.join(pageDir, 'tilewalk.wasm')) || !existsSync(driver)) {
    console.log('skipped: no browser build (./web.sh makes it)');
    process.exit(77);
  }
}

const PALETTE = JSON.parse(execFileSync(
    'python3', ['-c', 'import json, palette; print(json.dumps(palette.PALETTE))'],
    {cwd: path.join(root, 'tools')}));

export const launch = () => createRequire(path.join(root, 'web/package.json'))('puppeteer-core').launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-sync',
         '--disable-background-networking', '--disable-component-update'],
});

// Runs `test` with a browser of its own, then closes the browser and runs
// `cleanUp` whatever happened; a failure is printed with where it arose and
// makes the exit status 1.
export async function withBrowser(test, cleanUp) {
  const browser = await launch();
  try {
    await test(browser);
  } catch (error) {
    console.error(`FAIL: ${error.stack}`);
    process.exitCode = 1;
  } finally {
    await browser.close();
    cleanUp();
  }
}

// Starts `command` and resolves to it and the page's address, found in what
// it prints first by `pattern` (the port in its first group).
export async function serve(command, pattern) {
  const server = spawn(command[0], command.slice(1), {stdio: ['ignore', 'pipe', 'ignore']});
  const port = await new Promise((resolve, reject) => {
    server.stdout.on('data', (d) => { const found = pattern.exec(`${d}`); if (found) resolve(found[1]); });
    server.once('exit', () => reject(new Error(`${command.join(' ')} ended`)));
  });
  return {server, url: `http://127.0.0.1:${port}/`};
}

// The canvas as a frame: a line per row, a hex digit of palette index per
// pixel, ? for a colour outside the palette; null while the canvas is hidden
// or the page is being replaced.
const readCanvas = (page) => page.evaluate((palette) => {
  const canvas = document.getElementById('screen');
  if (canvas.hidden) return null;
  const {width, height} = canvas;
  const data = canvas.getContext('2d').getImageData(0, 0, width, height).data;
  const index = new Map(palette.map(([r, g, b], i) => [(r << 16) | (g << 8) | b, i]));
  const rows = [];
  for (let y = 0; y < height; y++) {
    const row = [];
    for (let p = y * width * 4; p < (y + 1) * width * 4; p += 4) {
      row.push(index.get((data[p] << 16) | (data[p + 1] << 8) | data[p + 2])?.toString(16) ?? '?');
    }
    rows.push(row.join(''));
  }
  return rows.join('\n');
}, PALETTE).catch(() => null);

// Waits for the desktop's frame NAME, in either flame phase.
export async function expectFrame(page, expectedDir, name) {
  const wanted = [0, 1].map((phase) =>
      readFileSync(path.join(expectedDir, `${name}_phase${phase}.frame`), 'utf8').trim());
  let shown = null;
  for (const deadline = Date.now() + WAIT_MS; Date.now() < deadline; await sleep(50)) {
    shown = await readCanvas(page);
    if (wanted.includes(shown)) return;
  }
  const differing = [...(shown ?? '')].filter((value, i) => value !== wanted[0][i]);
  const kept = path.join(os.tmpdir(), `tilewalk-shown-instead-of-${name}.frame`);
  writeFileSync(kept, `${shown}\n`);
  fail(`the canvas never showed ${name} (${differing.length} pixels differ from phase 0; ` +
       `what it showed is in ${kept})`);
}
