// Starts the game once the page may run it, and says why not in a visitor's
// words when it may not. The game runs on a thread of its own, which shares
// memory with the page; browsers allow that only in a cross-origin isolated
// page. A host that sends the two isolation headers gives that at once;
// elsewhere the page's service worker adds them, which takes one reload the
// first time. The worker also keeps the page for playing offline.
//
// Runs in the page's head, before the body is parsed, so that the game's
// thread and its compiled program are on their way while the rest of the page
// loads.
(() => {
  const RELOADED = 'tilewalk: reloaded to be isolated';  // session flag: reload once only
  const GAME_THREAD = 'tilewalk.worker.js';
  const say = (html) => {
    const show = () => {
      const notice = document.getElementById('notice');
      notice.innerHTML = html;
      notice.hidden = false;
    };
    if (document.readyState === 'loading') addEventListener('DOMContentLoaded', show);
    else show();
  };
  const remembered = (set) => {
    try {
      if (set === undefined) return sessionStorage.getItem(RELOADED) !== null;
      if (set) sessionStorage.setItem(RELOADED, '1');
      else sessionStorage.removeItem(RELOADED);
    } catch {
      return false;  // storage refused: at worst one more reload is tried
    }
    return set;
  };

  if (location.protocol === 'file:') {
    say('<p>tilewalk cannot start from a file on disk: browsers let its game thread ' +
        'share memory with the page only when a web server sends the page.</p>' +
        '<p>Put this folder on any web host, or serve it from this computer: run ' +
        '<code>python3 -m http.server</code> in the folder, then open ' +
        '<a href="http://localhost:8000/">http://localhost:8000/</a>.</p>');
    return;
  }

  const workers = navigator.serviceWorker;  // absent on plain http and in some private windows
  const register = () => (workers ?
      workers.register('service_worker.js', {updateViaCache: 'none'}) :
      Promise.reject(new Error('no service workers')));
  if (self.crossOriginIsolated) {
    remembered(false);
    startGame();
    return;
  }

  const cannot = () => say(
      '<p>This browser cannot run tilewalk here. The game runs on a thread of its own ' +
      'that shares memory with the page, and browsers allow that only when the page ' +
      'is isolated from other sites: ' +
      (self.isSecureContext ?
           'this browser could not isolate it (service workers may be turned off, ' +
           'as in some private windows).' :
           'the page must come over https (or from this computer\'s own address).') +
      '</p><p>Current Chrome, Edge, Firefox and Safari play it.</p>');
  if (remembered()) {
    remembered(false);
    cannot();
    return;
  }
  register().then(() => workers.ready).then(() => {
    remembered(true);
    location.reload();
  }, cannot);

  function startGame() {
    // The program takes the thread the page started (index.html) when it
    // asks for its first one, instead of starting one of its own only then.
    const NativeWorker = self.Worker;
    const started = Module.gameThread;
    self.Worker = function Worker(url, options) {
      self.Worker = NativeWorker;
      return started && String(url).endsWith(GAME_THREAD) ? started :
                                                             new NativeWorker(url, options);
    };
    // The page's own scripts (a player's datapack among them) have their say
    // before main runs: the game waits until the page is parsed.
    (Module.preRun ??= []).push(() => {
      if (document.readyState !== 'loading') return;
      Module.addRunDependency('page');
      addEventListener('DOMContentLoaded', () => Module.removeRunDependency('page'));
    });
    // The worker's caching waits until the game has started, so that it never
    // slows the start; from then on a newer build that the browser has found
    // may take over, since this page has every file of its own build.
    (Module.postRun ??= []).push(() => register().then((r) => {
      const takeOver = () => r.waiting && r.waiting.postMessage('take-over');
      r.addEventListener('updatefound',
                         () => r.installing.addEventListener('statechange', takeOver));
      // Browsers look for a new build on their own only now and then.
      if (r.active) r.update().catch(() => {});  // offline: the build we have
      takeOver();
    }, () => {}));
    // The thread runs the program's script too. Handed over as a blob it is
    // there at once, not fetched through the service worker while the program
    // waits for its thread; until the blob is in, the thread fetches it.
    fetch('tilewalk.js').then((response) => (response.ok ? response.blob() : null))
        .then((script) => { if (script) Module.mainScriptUrlOrBlob = script; }, () => {});
    const game = document.createElement('script');
    game.src = 'tilewalk.js';
    game.addEventListener('error', () => { self.Worker = NativeWorker; });
    document.head.append(game);
  }
})();
