// The page's half of the browser back end: the canvas the window side draws
// into and the queue of keyboard and focus events it takes at every tick.
// Runs on the page's main thread, called from web_back_end.cpp.
Module.pageWindow = (() => {
  const KEY_DOWN = 1, FOCUS = 2, BLUR = 3;
  const SHIFT = 1, CTRL = 2, ALT = 4, ALT_GRAPH = 8, NUM_LOCK = 16, REPEAT = 32;
  const QUEUE_LIMIT = 64;  // what a late tick (a hidden tab) may still find
  let canvas = null, context = null, queue = [], wakeLock = null, isOpen = false;

  const push = (event) => {
    if (queue.length >= QUEUE_LIMIT) queue.shift();
    queue.push(event);
  };

  function onKeyDown(e) {
    const flags = (e.shiftKey ? SHIFT : 0) | (e.ctrlKey ? CTRL : 0) | (e.altKey ? ALT : 0) |
        (e.getModifierState('AltGraph') ? ALT_GRAPH : 0) |
        (e.getModifierState('NumLock') ? NUM_LOCK : 0) | (e.repeat ? REPEAT : 0);
    push({kind: KEY_DOWN, code: e.code, key: e.key, flags});
    // The game's keys stay with the game: no focus moves on Tab, no menus on
    // F10 or Alt. The browser keeps its shortcuts with Ctrl or Meta, and its
    // reload, full-screen and developer keys.
    if (!e.ctrlKey && !e.metaKey && !/^F(5|11|12)$/.test(e.code)) e.preventDefault();
  }
  const onFocus = () => push({kind: FOCUS});
  const onBlur = () => push({kind: BLUR});
  const onVisibility = () => push({kind: document.hidden ? BLUR : FOCUS});

  return {
    create(width, height) {
      canvas = document.getElementById('screen');
      context = canvas && canvas.getContext ? canvas.getContext('2d', {alpha: false}) : null;
      if (!context) return 0;
      canvas.width = width;
      canvas.height = height;
      context.fillStyle = '#000';
      context.fillRect(0, 0, width, height);
      queue = [];
      addEventListener('keydown', onKeyDown);
      addEventListener('focus', onFocus);
      addEventListener('blur', onBlur);
      document.addEventListener('visibilitychange', onVisibility);
      canvas.hidden = false;
      isOpen = true;
      // The browser's counterpart of switching the screen saver off.
      if (navigator.wakeLock) {
        navigator.wakeLock.request('screen').then(
            (lock) => { if (isOpen) wakeLock = lock; else lock.release(); }, () => {});
      }
      return 1;
    },

    destroy() {
      removeEventListener('keydown', onKeyDown);
      removeEventListener('focus', onFocus);
      removeEventListener('blur', onBlur);
      document.removeEventListener('visibilitychange', onVisibility);
      if (wakeLock) wakeLock.release().catch(() => {});
      if (document.fullscreenElement === canvas) document.exitFullscreen().catch(() => {});
      if (canvas) canvas.hidden = true;
      wakeLock = null;
      isOpen = false;
    },

    // `count` rows of RGBA pixels at `address`, shown from row `first` down.
    showRows(address, width, first, count) {
      const bytes = HEAPU8.slice(address, address + width * count * 4);
      context.putImageData(new ImageData(new Uint8ClampedArray(bytes.buffer), width, count), 0, first);
    },

    // The oldest waiting event as kind | flags << 4 (0 when none), its code
    // and key written as UTF-8 at the two addresses.
    takeEvent(code, codeSize, key, keySize) {
      const event = queue.shift();
      if (!event) return 0;
      stringToUTF8(event.code || '', code, codeSize);
      stringToUTF8(event.key || '', key, keySize);
      return event.kind | (event.flags || 0) << 4;
    },

    isFullScreen() {
      return document.fullscreenElement === canvas ? 1 : 0;
    },

    // 0 when the browser offers no full screen here. Otherwise it decides
    // later: it allows it only close after a key press, which Alt+Enter is.
    setFullScreen(on) {
      if (on === (document.fullscreenElement === canvas)) return 1;
      if (on && !(document.fullscreenEnabled && canvas.requestFullscreen)) return 0;
      (on ? canvas.requestFullscreen() : document.exitFullscreen()).catch(() => {});
      return 1;
    },
  };
})();
