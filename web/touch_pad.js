// The pad for touch screens, and the view's size beside it.
// Eight step buttons and an exit button, each naming in data-key the key it
// presses. A press is the page's keydown of that key of the top row (Escape
// for exit), so it goes through the same key translation as the keyboard; a
// held step repeats as a held key does. The pad shows only on a touch screen
// and stands beside the view, never over it: to the right in landscape,
// below in portrait. The view is the largest whole multiple of 320 x 200
// device pixels that fits the rest, so its pixels stay square and crisp.
(() => {
  const REPEAT_DELAY_MS = 500;   // a keyboard's usual delay before repeating
  const REPEAT_EVERY_MS = 33;    // and its usual rate, about 30 a second
  const VIEW_WIDTH = 320, VIEW_HEIGHT = 200;
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
    const width = innerWidth - (shown && !portrait ? pad.offsetWidth : 0);
    const height = innerHeight - (shown && portrait ? pad.offsetHeight : 0);
    const ratio = devicePixelRatio || 1;
    const scale = Math.max(1, Math.floor(
        Math.min(width * ratio / VIEW_WIDTH, height * ratio / VIEW_HEIGHT)));
    canvas.style.width = `${VIEW_WIDTH * scale / ratio}px`;
    canvas.style.height = `${VIEW_HEIGHT * scale / ratio}px`;
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
  fit();
})();
