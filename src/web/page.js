// page.js: the page around the game. It sizes and places the game's canvas and the bar, sets up
// the module that pordeck.js loads into, starts the sound on the first tap, click or key and
// quiets it while the page is hidden, has the sound switches' buttons follow the game, switches
// full screen, and has the service worker keep the site for offline play.
'use strict';

const canvas = document.getElementById('canvas');
const bar = document.getElementById('bar');
const notice = document.getElementById('sound');
const fullscreenButton = document.getElementById('fullscreen');
fullscreenButton.hidden = !document.fullscreenEnabled; // a phone's browser may not have it

// The game draws with SDL's software renderer (see Module.preRun), which puts each frame into
// the canvas's 2-D context: taken here first, opaque and desynchronized (a frame shows as soon
// as it is put, not at the page's next composition), it is the one SDL gets.
canvas.getContext('2d', { alpha: false, desynchronized: true });

var Module = {
  canvas,
  // SDL is built without OpenGL for the page (its WebGL renderer cost a frame far more): the
  // engine asks for an accelerated renderer and would log that there is none before falling
  // back; named here, SDL's software renderer is the one it gets.
  preRun: [() => (ENV.SDL_RENDER_DRIVER = 'software')],
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

// The size in device pixels the playfield is shown at in a room of w x h device pixels: the
// largest whole scale that fits, as the engine would show it in a window that large; but where
// that scale is 0, or its picture is less than two thirds as wide as the largest 4:3 picture
// that fits, that largest picture.
function shownSize(w, h) {
  const whole = Math.min(Math.floor(w / PLAYFIELD[0]), Math.floor(h / PLAYFIELD[1]));
  const k = Math.min(Math.floor(w / 4), Math.floor(h / 3)); // the largest 4k x 3k that fits
  if (whole >= 1 && 3 * PLAYFIELD[0] * whole >= 2 * 4 * k) {
    return PLAYFIELD.map((v) => v * whole);
  }
  return [4 * k, 3 * k];
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

// The game's window is the canvas's backing store, and it stays the playfield's size: SDL
// sizes a canvas that has no CSS size of its own to the window the engine opens, 640 x 480,
// and keeps it so. The page then shows the canvas at the size it chooses, centred on whole
// device pixels (pixelated: a whole scale shows exactly the engine's picture at that scale),
// and SDL maps pointer positions through that size. Until SDL has sized it, the canvas keeps
// no CSS size, lest SDL take that for the window's.
let windowOpened = false;

function layout() {
  const ratio = window.devicePixelRatio || 1;
  const room = [innerWidth, innerHeight];
  const shown = shownSize(Math.round(room[0] * ratio), Math.round(room[1] * ratio));
  const [left, top] = [0, 1].map((i) => Math.floor((room[i] * ratio - shown[i]) / 2) / ratio);
  const [width, height] = shown.map((v) => v / ratio);
  if (windowOpened) {
    place(canvas, left, top, width, height);
  }
  canvas.classList.toggle('up', shown[0] > PLAYFIELD[0]);
  placeBar(room[0], room[1], { right: left + width, bottom: top + height });
}
new MutationObserver(() => {
  windowOpened = canvas.width === PLAYFIELD[0] && canvas.height === PLAYFIELD[1];
  layout();
}).observe(canvas, { attributeFilter: ['width', 'height'] });
window.addEventListener('resize', layout);
layout();

// ---- Sound ------------------------------------------------------------------------------------

// SDL makes the audio context when the game opens its audio device, and the browser keeps it
// suspended until the page is tapped, clicked or gets a key press: the page resumes it on the
// first of these (the end of a touch counts, its start does not). The alarm, playing from the
// start, is heard from then on; the notice shows until then.
const audioContext = () => Module.SDL2 && Module.SDL2.audioContext;

function resumeSound() {
  const context = audioContext();
  if (context && context.state === 'suspended') {
    context.resume();
  }
}
for (const type of ['touchend', 'pointerup', 'mousedown', 'keydown']) {
  document.addEventListener(type, resumeSound, true);
}

// A page hidden (a tab behind another, a phone's screen off) is quiet: the page suspends the
// audio context, and resumes it when it shows again, only if it was running then, so that a page
// never tapped stays silent until it is. The game pauses its own sounds as well.
let hiddenWhileRunning = false;
document.addEventListener('visibilitychange', () => {
  const context = audioContext();
  if (context && document.hidden && context.state === 'running') {
    hiddenWhileRunning = true;
    context.suspend();
  } else if (context && !document.hidden && hiddenWhileRunning) {
    hiddenWhileRunning = false;
    context.resume();
  }
});

function watchSound() {
  const context = audioContext();
  if (!context) {
    setTimeout(watchSound, 100);
    return;
  }
  const show = () => {
    notice.hidden = context.state === 'running' || hiddenWhileRunning;
    layout(); // the bar may have got smaller
  };
  context.addEventListener('statechange', show);
  show();
}
watchSound();

// The alarm's and the effects' buttons switch them as M and N do. The game says how they are
// switched when it starts and at each change (it keeps them in the page's local storage), and
// the buttons show it, pressed while the sound is on.
const soundButtons = [document.getElementById('music'), document.getElementById('effects')];
Module.soundSwitched = (...on) => soundButtons.forEach((button, i) => {
  button.setAttribute('aria-pressed', String(on[i]));
  button.disabled = false;
});
soundButtons.forEach((button, i) => button.addEventListener('click', (event) => {
  event.currentTarget.blur(); // so that a later key press does not press it again
  Module._settings_switch_sound(i);
}));

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
  if (navigator.serviceWorker.controller) {
    // A newer build, if one is served, installs beside this one for the next load; offline
    // there is none to be had.
    registration.update().catch(() => {});
  }
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
