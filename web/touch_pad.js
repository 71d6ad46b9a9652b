// The pad for touch screens, and the view's size beside it.
// Eight step buttons and an exit button, each naming in data-key the key it
// presses. A press is the page's keydown of that key of the top row (Escape
// for exit), so it goes through the same key translation as the keyboard; a
// held step repeats as a held key does. The pad shows only on a touch screen
// and stands beside the view, never over it: to the right in landscape,
// below in portrait. The view takes the rest: every one of its pixels the
// same square of whole device pixels, so that it stays crisp.
(() => {
  const REPEAT_DELAY_MS = 500;   // a keyboard's usual delay before repeating
  const REPEAT_EVERY_MS = 33;    // and its usual rate, about 30 a second
  const VIEW_WIDTH = 320, VIEW_HEIGHT = 200;
  const SNAP_RANGE = 16;  // CSS pixels; whole device pixels come every 8 at most on phones
  const pad = document.getElementById('pad');
  const canvas = document.getElementById('screen');
  let held = null;  // {pointer, timer} of the step button being held

  const press = (key, repeat) => dispatchEvent(new KeyboardEvent('keydown', {
    key, code: key === 'Escape' ? 'Escape' : `Digit${key}`, repeat, bubbles: true,
  }));
  const stop = () => {
    if (!held) return;
    clearTimeout(held.timer);  // before the first repeat
    clearInterval(held.timer);  // after it
    held = null;
  };

  pad.addEventListener('pointerdown', (event) => {
    const button = event.target.closest('[data-key]');
    event.preventDefault();  // no focus, selection or magnifier
    if (!button || button.dataset.key === 'Escape') return;
    stop();
    const key = button.dataset.key;
    press(key, false);
    const hold = {pointer: event.pointerId};
    hold.timer = setTimeout(() => {
      hold.timer = setInterval(() => press(key, true), REPEAT_EVERY_MS);
    }, REPEAT_DELAY_MS);
    held = hold;
  });
  // A finger or mouse let go anywhere, or the page put away, ends the hold.
  for (const type of ['pointerup', 'pointercancel']) {
    addEventListener(type, (event) => held && event.pointerId === held.pointer && stop());
  }
  addEventListener('blur', stop);
  document.addEventListener('visibilitychange', stop);
  pad.addEventListener('contextmenu', (event) => event.preventDefault());
  // The exit asks first: a stray tap must not end a game.
  pad.querySelector('[data-key="Escape"]').addEventListener('click', () => {
    if (confirm('End the game?')) press('Escape', false);
  });

  function fit() {
    const shown = getComputedStyle(pad).display !== 'none';
    const portrait = innerHeight > innerWidth;
    // The view is centred, so it keeps clear of the footer by twice its height.
    const footer = document.getElementById('footer');
    const width = innerWidth - (shown && !portrait ? pad.offsetWidth : 0);
    const height = innerHeight - (shown && portrait ? pad.offsetHeight : 0) -
                   (footer ? 2 * footer.offsetHeight : 0);
    const ratio = devicePixelRatio || 1;
    // Browsers lay out in fractions of a CSS pixel and draw the view across
    // them unevenly, so the view is a whole number of CSS pixels that is a
    // whole multiple of 320 x 200 device pixels, the largest that fits; on a
    // screen whose pixel ratio allows none, whole multiples of CSS pixels.
    const whole = (x) => Math.abs(x - Math.round(x)) < 1e-6;
    let css = Math.max(1, Math.floor(Math.min(width / VIEW_WIDTH, height / VIEW_HEIGHT)));
    const most = Math.floor(Math.min(width * ratio / VIEW_WIDTH, height * ratio / VIEW_HEIGHT));
    for (let device = most; device >= 1; device--) {
      if (whole(VIEW_WIDTH * device / ratio) && whole(VIEW_HEIGHT * device / ratio)) {
        css = device / ratio;
        break;
      }
    }
    canvas.style.width = `${Math.round(VIEW_WIDTH * css)}px`;
    canvas.style.height = `${Math.round(VIEW_HEIGHT * css)}px`;
    // Centred, the view may start between two device pixels: it moves to the
    // nearest whole CSS pixel that is also a whole device pixel.
    canvas.style.left = canvas.style.top = '0';
    const {x, y} = canvas.getBoundingClientRect();
    const snap = (at) => {
      for (let step = 0; step < SNAP_RANGE; step++) {
        for (const to of [Math.round(at) - step, Math.round(at) + step]) {
          if (whole(to * ratio)) return `${to - at}px`;
        }
      }
      return '0';
    };
    canvas.style.left = snap(x);
    canvas.style.top = snap(y);
  }
  const showPad = () => {
    document.body.classList.add('touch');
    fit();
  };
  if (navigator.maxTouchPoints > 0 || matchMedia('(any-pointer: coarse)').matches) showPad();
  addEventListener('touchstart', showPad, {once: true, passive: true});
  addEventListener('resize', fit);
  // The pad comes and goes with the view (the game shows it, its end hides it).
  new MutationObserver(fit).observe(canvas, {attributes: true, attributeFilter: ['hidden']});
  // The footer grows when the datapack bar lists findings.
  const footer = document.getElementById('footer');
  if (footer) new ResizeObserver(fit).observe(footer);
  fit();
})();
