// The page's half of the browser's game pads: what navigator.getGamepads()
// shows at a tick, written where web_pads.cpp reads it. Page's main thread.
Module.pagePads = (() => {
  // The standard layout's buttons in the order of the record: d-pad up,
  // down, left, right, then Back/Select and Start. Axes 0 and 1 are the
  // left stick.
  const BUTTONS = [12, 13, 14, 15, 8, 9];

  return {
    // Fills `slots` records of `fields` 32-bit floats at `address`: present,
    // the six buttons (1 held), stick x and y. Buttons count only on a pad
    // in the standard layout, where their places are known; the stick is
    // axes 0 and 1 on nearly every pad.
    sample(address, slots, fields) {
      let pads = [];
      try {
        pads = (navigator.getGamepads && navigator.getGamepads()) || [];
      } catch (e) {
        // Refused to this page (a permissions policy): no pads.
      }
      for (let slot = 0; slot < slots; slot++) {
        const pad = pads[slot];
        const present = Boolean(pad && pad.connected);
        const standard = present && pad.mapping === 'standard';
        const record =
            HEAPF32.subarray((address >> 2) + slot * fields, (address >> 2) + (slot + 1) * fields);
        record[0] = present ? 1 : 0;
        BUTTONS.forEach((index, i) => {
          const button = standard && pad.buttons && pad.buttons[index];
          record[1 + i] = button && button.pressed ? 1 : 0;
        });
        const axes = (present && pad.axes) || [];
        record[7] = Number(axes[0]) || 0;
        record[8] = Number(axes[1]) || 0;
      }
    },
  };
})();
