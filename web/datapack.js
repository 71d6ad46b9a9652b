// Playing a datapack of one's own in the page. The player gives the six .mem
// files through <input id="datapack"> (several files), <input
// id="datapack-folder"> (a whole folder) or by dropping files or a folder on
// the page; a link may name one published beside the page, index.html?pack=PATH/.
// Every pack is checked first by tilewalk-pack's own check library
// (tilewalk-check.js, a module of its own), and what it finds is listed in
// plain words. A good pack starts the game afresh with it: the page reloads
// and writes the files into the game's in-memory file system before the
// game's main runs. A bad pack changes nothing: the running game goes on.
// The files never leave the browser (they wait in sessionStorage across the
// reload). Runs on the page's main thread, before or after tilewalk.js.
(() => {
  // Bare name, and where tilewalk reads it.
  const FILES = [
    ['brick03.mem', 'datapack/graphics/brick03.mem'],
    ['flame01.mem', 'datapack/graphics/flame01.mem'],
    ['flame02.mem', 'datapack/graphics/flame02.mem'],
    ['skull01.mem', 'datapack/graphics/skull01.mem'],
    ['morvek1.mem', 'datapack/graphics/morvek1.mem'],
    ['map002.mem', 'datapack/maps/map002.mem'],
  ];
  const NAMES = new Set(FILES.map(([name]) => name));
  const STORE = 'tilewalk-datapack';
  const MAX_FILE_BYTES = 1 << 20;  // a map is a few KB; more is no .mem file
  const MAX_ENTRIES = 10000;       // what a dropped folder may hold before we stop looking

  // --- the bar: two inputs, a drop target, and the report -------------------
  const style = document.createElement('style');
  style.textContent = `
    #datapack-bar { padding: 4px 8px;
      font: 13px/1.4 sans-serif; color: #aaa; background: rgba(0, 0, 0, 0.8); }
    #datapack-bar.dragging { outline: 2px dashed #ff5; outline-offset: -4px; color: #ff5; }
    #datapack-bar label { padding: 0 6px; border: 1px solid #777; border-radius: 3px;
      cursor: pointer; color: #ddd; }
    #datapack-bar label:focus-within { outline: 1px solid #ff5; }
    #datapack-report button { float: right; font: inherit; }
    #datapack-report:empty { display: none; }
    #datapack-report { margin-bottom: 4px; color: #fff; white-space: pre-wrap; }
    #datapack-report.bad { color: #f55; }`;
  document.head.append(style);
  const bar = document.createElement('div');
  bar.id = 'datapack-bar';
  bar.innerHTML = '<div id="datapack-report" role="status"></div>' +
      'Play your own datapack: <label>choose its files<input type="file" id="datapack" ' +
      'multiple accept=".mem" hidden></label> or <label>its folder<input type="file" ' +
      'id="datapack-folder" webkitdirectory hidden></label>, or drop it on the page.';
  const report = bar.querySelector('#datapack-report');

  function show(title, lines, bad) {
    report.className = bad ? 'bad' : '';
    report.textContent = [title, ...lines.map((line) => '  ' + line)].join('\n');
    const close = document.createElement('button');
    close.textContent = 'Close';
    close.onclick = () => report.replaceChildren();
    report.prepend(close);
  }

  // A finding of the checker in plain words: the file's bare name, the line
  // when it points into the file, the message.
  function describe({path, line, column, message}) {
    const name = path.split('/').pop();
    return line > 1 || column > 1 ? `${name}, line ${line}: ${message}` : `${name}: ${message}`;
  }

  // --- the checker ----------------------------------------------------------
  let checker = null;
  function loadChecker() {
    checker ??= new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = 'tilewalk-check.js';
      script.onload = () => createPackChecker({print() {}, printErr() {}}).then(resolve, reject);
      script.onerror = () => reject(new Error('the checker (tilewalk-check.js) did not load'));
      document.head.append(script);
    });
    return checker;
  }

  let runs = 0;
  // files: Map of bare name to bytes. Resolves to {good, errors, warnings},
  // the findings described.
  async function check(files) {
    const module = await loadChecker();
    const root = `/pack${++runs}`;  // a fresh folder: nothing of an earlier pack remains
    for (const [name, where] of FILES) {
      if (!files.has(name)) continue;
      const path = `${root}/${where}`;
      module.FS.mkdirTree(path.slice(0, path.lastIndexOf('/')));
      module.FS.writeFile(path, files.get(name));
    }
    const [verdict, ...rows] = module.ccall('pack_check', 'string', ['string'], [root])
        .split('\n').filter((row) => row);
    const findings = rows.map((row) => {
      const [severity, path, line, column, message] = row.split('\t');
      return {severity, path, line: +line, column: +column, message};
    });
    const of = (severity) => findings.filter((f) => f.severity === severity).map(describe);
    return {good: verdict === 'ok', errors: of('error'), warnings: of('warning')};
  }

  // Checks a pack and, when good, starts the game afresh with it.
  async function offer(files, source) {
    if (files.size === 0) {
      show(`No datapack: none of ${[...NAMES].join(', ')} is among what ${source}. ` +
           'The game goes on as it was.', [], true);
      return;
    }
    for (const [name, bytes] of files) {
      if (bytes.length > MAX_FILE_BYTES) {
        show(`${name} is ${bytes.length} bytes, far more than a .mem file holds. ` +
             'The game goes on as it was.', [], true);
        return;
      }
    }
    let result;
    try {
      result = await check(files);
    } catch (error) {
      show(`The datapack could not be checked (${error.message}). The game goes on as it was.`,
           [], true);
      return;
    }
    if (!result.good) {
      show(`The datapack ${source} has problems; the game goes on as it was:`,
           [...result.errors, ...result.warnings], true);
      return;
    }
    const stored = {source, warnings: result.warnings, files: {}};
    // Bytes as a string of code units 0 to 255, which JSON keeps exactly.
    for (const [name, bytes] of files) {
      let text = '';
      for (let i = 0; i < bytes.length; i += 8192) {
        text += String.fromCharCode(...bytes.subarray(i, i + 8192));
      }
      stored.files[name] = text;
    }
    try {
      sessionStorage.setItem(STORE, JSON.stringify(stored));
    } catch (error) {
      show('The browser would not keep the datapack for the restart. ' +
           'The game goes on as it was.', [], true);
      return;
    }
    location.reload();
  }

  // --- where packs come from ------------------------------------------------
  async function fromFileList(list) {
    const files = new Map();
    for (const file of list) {
      if (NAMES.has(file.name)) files.set(file.name, new Uint8Array(await file.arrayBuffer()));
    }
    return files;
  }

  // The files of a drop, folders searched all the way down.
  async function fromDrop(pending) {
    const files = new Map();
    let seen = 0;
    while (pending.length > 0 && seen++ < MAX_ENTRIES) {
      const entry = pending.shift();
      if (entry.isDirectory) {
        const reader = entry.createReader();
        for (;;) {
          const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
          if (batch.length === 0) break;
          pending.push(...batch);
        }
      } else if (NAMES.has(entry.name)) {
        const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
        files.set(entry.name, new Uint8Array(await file.arrayBuffer()));
      }
    }
    return files;
  }

  for (const id of ['datapack', 'datapack-folder']) {
    const input = bar.querySelector('#' + id);
    input.addEventListener('change', async () => {
      const files = await fromFileList(input.files);
      input.value = '';
      input.blur();  // keys belong to the game again
      await offer(files, 'you chose');
    });
  }
  // The items must be taken while the drop event runs; reading them can wait.
  addEventListener('dragover', (e) => {
    e.preventDefault();
    bar.classList.add('dragging');
  });
  addEventListener('dragleave', () => bar.classList.remove('dragging'));
  addEventListener('drop', (e) => {
    e.preventDefault();
    bar.classList.remove('dragging');
    const entries = [...(e.dataTransfer.items ?? [])].map((item) => item.webkitGetAsEntry?.());
    const found = entries.some(Boolean) ? fromDrop(entries.filter(Boolean))
                                        : fromFileList(e.dataTransfer.files);
    found.then((files) => offer(files, 'you dropped'));
  });

  // A pack published on this site: PATH/ holds the six files side by side, or
  // laid out as tilewalk's own (PATH/datapack/graphics/, PATH/datapack/maps/).
  async function fromLink(path) {
    const base = new URL(path.endsWith('/') ? path : path + '/', location.href);
    if (base.origin !== location.origin) throw new Error(`${path} is not on this site`);
    const get = (where) => fetch(new URL(where, base)).then((r) => r.ok ? r.arrayBuffer() : null);
    const laidOut = (await get('datapack/maps/map002.mem')) !== null;
    const files = new Map();
    for (const [name, where] of FILES) {
      const bytes = await get(laidOut ? where : name);
      if (bytes) files.set(name, new Uint8Array(bytes));
    }
    return files;
  }

  // --- before the game starts: the pack it is to play -----------------------
  function writeIntoGame(files) {
    for (const [name, where] of FILES) {
      // A file the pack lacks would leave the shipped one in its place.
      try {
        Module.FS.unlink('/' + where);
      } catch (error) {}
      if (files.has(name)) Module.FS.writeFile('/' + where, files.get(name));
    }
  }

  // The shipped files go into the file system in a pre-run hook of the
  // program's own, in an order the page does not choose; the pack to play
  // replaces them once that pass is over, and main waits for it.
  (Module.preRun ??= []).push(() => {
    Module.addRunDependency('datapack');
    Promise.resolve().then(playChosenPack).finally(() => Module.removeRunDependency('datapack'));
  });

  async function playChosenPack() {
    const stored = sessionStorage.getItem(STORE);
    if (stored) {
      sessionStorage.removeItem(STORE);  // a reload brings back the shipped pack (or the link's)
      const pack = JSON.parse(stored);
      const files = new Map(Object.entries(pack.files).map(
          ([name, text]) => [name, Uint8Array.from(text, (c) => c.charCodeAt(0))]));
      writeIntoGame(files);
      show(`Playing the datapack ${pack.source}.` +
           (pack.warnings.length ? ' Worth a look:' : ''), pack.warnings, false);
      return;
    }
    const link = new URLSearchParams(location.search).get('pack');
    if (!link) return;
    try {
      const files = await fromLink(link);
      if (files.size === 0) throw new Error(`none of the six files is in ${link}`);
      const result = await check(files);
      if (!result.good) {
        show(`The datapack at ${link} has problems; playing the shipped one:`,
             [...result.errors, ...result.warnings], true);
        return;
      }
      writeIntoGame(files);
      show(`Playing the datapack at ${link}.` + (result.warnings.length ? ' Worth a look:' : ''),
           result.warnings, false);
    } catch (error) {
      show(`The datapack at ${link} could not be read (${error.message}); playing the shipped one.`,
           [], true);
    }
  }

  (document.getElementById('footer') ?? document.body).append(bar);
})();
