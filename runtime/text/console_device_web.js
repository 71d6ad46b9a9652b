// The page's text console: a grid of character cells in <div id="console">,
// driven by the few control sequences the runtime's console writes (colours,
// cursor position and visibility, erase, and the xterm size request).
// Runs on the page's main thread.
Module.consoleDevice = (() => {
  // ANSI colour order: black, red, green, brown, blue, magenta, cyan, grey;
  // then the bright eight. The same 16 colours as the graphics screen.
  const COLOURS = [
    '0,0,0', '170,0,0', '0,170,0', '170,85,0', '0,0,170', '170,0,170', '0,170,170',
    '170,170,170', '85,85,85', '255,85,85', '85,255,85', '255,255,85', '85,85,255',
    '255,85,255', '85,255,255', '255,255,255'].map((rgb) => `rgb(${rgb})`);
  // Code page 437 above 127, for the bytes the program may print.
  const HIGH = 'ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒáíóúñÑªº¿⌐¬½¼¡«»░▒▓│┤╡╢╖╕╣║╗╝╜╛┐' +
      '└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00a0';
  let columns = 80, rows = 25, x = 0, y = 0, fg = 7, bg = 0, cells = [];
  let pending = '';  // an escape sequence split across writes

  const blankRow = () => Array.from({length: columns}, () => [' ', fg, bg]);
  const fill = () => { cells = Array.from({length: rows}, blankRow); };
  const character = (b) => (b < 128 ? String.fromCharCode(b < 32 ? 32 : b) : HIGH[b - 128]);
  const newline = () => {
    if (++y < rows) return;
    y = rows - 1;
    cells.shift();
    cells.push(blankRow());
  };

  function sgr(params) {
    for (const p of params.map(Number)) {
      if (p === 0) { fg = 7; bg = 0; }
      else if (p >= 30 && p <= 37) fg = p - 30;
      else if (p >= 90 && p <= 97) fg = p - 82;
      else if (p >= 40 && p <= 47) bg = p - 40;
      else if (p >= 100 && p <= 107) bg = p - 92;
    }
  }

  function sequence(body, final) {
    const params = body.replace('?', '').split(';');
    const n = (i, otherwise) => Number(params[i]) || otherwise;
    if (final === 'm') sgr(params);
    else if (final === 'H') { y = Math.min(n(0, 1), rows) - 1; x = Math.min(n(1, 1), columns) - 1; }
    else if (final === 'J' && params[0] === '2') fill();
    else if (final === 't' && params[0] === '8') { rows = n(1, rows); columns = n(2, columns); fill(); }
  }

  function render() {
    const element = document.getElementById('console');
    if (!element) return;
    element.replaceChildren(...cells.map((row) => {
      const line = document.createElement('div');
      for (let start = 0; start < row.length;) {
        let end = start;
        while (end < row.length && row[end][1] === row[start][1] && row[end][2] === row[start][2]) end++;
        const run = document.createElement('span');
        run.textContent = row.slice(start, end).map((cell) => cell[0]).join('');
        run.style.color = COLOURS[row[start][1]];
        run.style.backgroundColor = COLOURS[row[start][2]];
        line.append(run);
        start = end;
      }
      return line;
    }));
  }

  function write(bytes) {
    if (cells.length === 0) fill();
    let text = pending;
    for (const b of bytes) text += String.fromCharCode(b);
    pending = '';
    for (let i = 0; i < text.length; i++) {
      const b = text.charCodeAt(i);
      if (b === 27) {
        const rest = text.slice(i);
        const match = /^\x1b\[([0-9;?]*)([A-Za-z])/.exec(rest);
        if (match) {
          sequence(match[1], match[2]);
          i += match[0].length - 1;
        } else if (/^\x1b(\[[0-9;?]*)?$/.test(rest)) {
          pending = rest;  // the rest of it comes with the next write
          break;
        }
      } else if (b === 10) { x = 0; newline(); }
      else if (b === 13) x = 0;
      else if (b === 8) x = Math.max(0, x - 1);
      else if (b !== 7) {
        if (x >= columns) { x = 0; newline(); }
        cells[y][x++] = [character(b), fg, bg];
      }
    }
    render();
  }

  return {write};
})();
