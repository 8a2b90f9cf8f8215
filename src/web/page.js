// page.js: the page around the game. It sets up the module that pordeck.js loads into,
// shows the sound notice until the browser lets the game's audio play, and switches full
// screen on F11 or the button.
'use strict';

const notice = document.getElementById('sound');

var Module = {
  canvas: document.getElementById('canvas'),
  print: (text) => console.log(text),
  // The engine writes a line through SDL_Log only when something failed.
  printErr: (text) => console.error(text),
  onAbort: (what) => {
    notice.textContent = `The game stopped: ${what}`;
    notice.hidden = false;
  },
};

// SDL makes the audio context when the game opens its audio device. The browser keeps it
// suspended until the first click or key press on the page, which SDL answers by resuming
// it; the alarm, playing from the start, is heard from then on.
function watchSound() {
  const context = Module.SDL2 && Module.SDL2.audioContext;
  if (!context) {
    setTimeout(watchSound, 100);
    return;
  }
  const show = () => {
    notice.hidden = context.state === 'running';
  };
  context.addEventListener('statechange', show);
  show();
}
watchSound();

// SDL sizes the game's window to the canvas when the browser's window resizes; the canvas
// also changes size without that (the bar hides in full screen, or wraps its lines anew).
new ResizeObserver(() => window.dispatchEvent(new Event('resize'))).observe(Module.canvas);

// Full screen is the page's: the whole page goes full screen and the bar hides, so the
// canvas grows to the screen and the game scales up, the same way back.
function toggleFullscreen() {
  const change = document.fullscreenElement
    ? document.exitFullscreen()
    : document.documentElement.requestFullscreen();
  change.catch((error) => console.warn(`full screen: ${error.message}`));
}
document.getElementById('fullscreen').addEventListener('click', (event) => {
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
