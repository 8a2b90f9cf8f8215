// page.js: the page around the game. It sizes and places the game's canvas and the bar, sets up
// the module that pordeck.js loads into, starts the sound on the first tap, click or key,
// switches full screen, and has the service worker keep the site for offline play.
'use strict';

const canvas = document.getElementById('canvas');
const bar = document.getElementById('bar');
const notice = document.getElementById('sound');
const fullscreenButton = document.getElementById('fullscreen');
fullscreenButton.hidden = !document.fullscreenEnabled; // a phone's browser may not have it

var Module = {
  canvas,
  print: (text) => console.log(text),
  // The engine writes a line through SDL_Log only when something failed.
  printErr: (text) => console.error(text),
  onAbort: (what) => {
    notice.textContent = `The game stopped: ${what}`;
    notice.hidden = false;
  },
};

// ---- The playfield's size -------------------------------------------------------------------

const PLAYFIELD = [640, 480];

// For a room of w x h device pixels: the game's window (the canvas's backing store) and the
// size the canvas is shown at, both in device pixels. The window is the playfield at the
// largest whole scale that fits, which the engine fills exactly; but where that scale is 0, or
// its picture is less than two thirds as wide as the largest 4:3 picture the room holds, the
// window is the playfield itself and the browser scales it to that largest picture.
function chooseSize(w, h) {
  const whole = Math.min(Math.floor(w / PLAYFIELD[0]), Math.floor(h / PLAYFIELD[1]));
  const k = Math.min(Math.floor(w / 4), Math.floor(h / 3)); // the largest 4k x 3k in the room
  if (whole >= 1 && 3 * PLAYFIELD[0] * whole >= 2 * 4 * k) {
    const size = PLAYFIELD.map((v) => v * whole);
    return { window: size, shown: size };
  }
  return { window: PLAYFIELD, shown: [4 * k, 3 * k] };
}

// Sets an element's box in CSS pixels; '' leaves a side to the style sheet.
function place(element, left, top, width, height, right = '', bottom = '') {
  const px = (v) => (v === '' ? '' : `${v}px`);
  Object.assign(element.style, {
    left: px(left), top: px(top), width: px(width), height: px(height),
    right: px(right), bottom: px(bottom),
  });
}

// The bar goes in the room below the playfield when it fits there, else in a column beside
// it, else folded (the notice and the button alone) over the playfield's corner: it never
// takes room from the playfield.
function placeBar(roomW, roomH, field) {
  const below = roomH - field.bottom;
  const beside = roomW - field.right;
  bar.className = '';
  bar.hidden = false;
  place(bar, 0, field.bottom, roomW, '');
  if (bar.offsetHeight <= below) {
    place(bar, 0, field.bottom, roomW, below);
    return;
  }
  bar.className = 'side';
  place(bar, field.right, 0, beside, '');
  if (beside >= 160 && bar.offsetHeight <= roomH) {
    place(bar, field.right, 0, beside, roomH);
    return;
  }
  bar.className = 'folded';
  place(bar, '', '', '', '', 8, 8);
  bar.hidden = notice.hidden && fullscreenButton.hidden;
}

// Sizes the canvas and its window for the tab as it is now, centred on whole device pixels,
// and places the bar; true when the window's size changed.
function layout() {
  const ratio = window.devicePixelRatio || 1;
  const room = [innerWidth, innerHeight];
  const device = room.map((v) => Math.round(v * ratio));
  const size = chooseSize(device[0], device[1]);
  const [left, top] = [0, 1].map((i) => Math.floor((device[i] - size.shown[i]) / 2) / ratio);
  const [width, height] = size.shown.map((v) => v / ratio);
  place(canvas, left, top, width, height);
  canvas.classList.toggle('up', size.shown[0] > size.window[0]);
  placeBar(room[0], room[1], { right: left + width, bottom: top + height });
  if (canvas.width === size.window[0] && canvas.height === size.window[1]) {
    return false;
  }
  [canvas.width, canvas.height] = size.window;
  return true;
}

// SDL takes the canvas's backing store for the game's window whenever the browser's window
// reports a resize; the page sizes it first, and tells of changes of its own the same way.
function relayout() {
  if (layout()) {
    window.dispatchEvent(new Event('resize'));
  }
}
window.addEventListener('resize', (event) => event.isTrusted && relayout());
document.addEventListener('fullscreenchange', relayout);
relayout();

// ---- Sound ------------------------------------------------------------------------------------

// SDL makes the audio context when the game opens its audio device, and the browser keeps it
// suspended until the page is tapped, clicked or gets a key press: the page resumes it on the
// first of these (the end of a touch counts, its start does not). The alarm, playing from the
// start, is heard from then on; the notice shows until then.
function resumeSound() {
  const context = Module.SDL2 && Module.SDL2.audioContext;
  if (context && context.state === 'suspended') {
    context.resume();
  }
}
for (const type of ['touchend', 'pointerup', 'mousedown', 'keydown']) {
  document.addEventListener(type, resumeSound, true);
}

function watchSound() {
  const context = Module.SDL2 && Module.SDL2.audioContext;
  if (!context) {
    setTimeout(watchSound, 100);
    return;
  }
  const show = () => {
    notice.hidden = context.state === 'running';
    relayout(); // the bar may have got smaller
  };
  context.addEventListener('statechange', show);
  show();
}
watchSound();

// Long presses open no menu over the page.
document.addEventListener('contextmenu', (event) => event.preventDefault());

// ---- Full screen ------------------------------------------------------------------------------

// The whole page goes full screen and the bar hides, so the playfield grows to the screen, the
// same way back; on a phone the page then asks for landscape, where the browser lets it.
async function toggleFullscreen() {
  try {
    if (document.fullscreenElement) {
      await document.exitFullscreen();
      return;
    }
    await document.documentElement.requestFullscreen({ navigationUI: 'hide' });
    if (screen.orientation && screen.orientation.lock) {
      await screen.orientation.lock('landscape').catch(() => {}); // desktops refuse it
    }
  } catch (error) {
    console.warn(`full screen: ${error.message}`);
  }
}
fullscreenButton.addEventListener('click', (event) => {
  event.currentTarget.blur(); // so that a later key press does not press it again
  toggleFullscreen();
});
// Taken before SDL's own key handling, so that the game does not toggle it a second time.
window.addEventListener(
  'keydown',
  (event) => {
    if (event.key !== 'F11') {
      return;
    }
    event.preventDefault();
    event.stopImmediatePropagation();
    if (!event.repeat) {
      toggleFullscreen();
    }
  },
  true,
);

// ---- Offline --------------------------------------------------------------------------------

// The service worker keeps the whole site. On the first visit it fetches every file before the
// game loads, and the game's files then come from its cache, so that nothing comes over the
// network twice; once it controls the page, the game starts without a network.
async function keepOffline() {
  if (!('serviceWorker' in navigator)) {
    return;
  }
  const registration = await navigator.serviceWorker.register('sw.js');
  const installing = registration.installing;
  if (navigator.serviceWorker.controller || !installing) {
    return;
  }
  await new Promise((resolve) => {
    navigator.serviceWorker.addEventListener('controllerchange', resolve, { once: true });
    installing.addEventListener('statechange', () => installing.state === 'redundant' && resolve());
  });
}

keepOffline()
  .catch((error) => console.warn(`no offline copy: ${error.message}`))
  .then(() => {
    const script = document.createElement('script');
    script.src = 'pordeck.js';
    document.body.append(script);
  });
