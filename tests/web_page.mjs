// web_page.mjs: the browser build in Debian's headless Chromium, served on 127.0.0.1 as a web
// server would serve it (tools/web/serve.mjs) and read back by screenshot:
//
//   node web_page.mjs SITE RES
//
// SITE is the build's site/ directory, RES the generated images. The game draws its
// background, scaled and centred in the canvas, with the system cursor hidden; the sound
// notice shows while the audio is suspended. A click on the level's last window (64 x 64
// at (417, 58), the topmost prop there) shatters it and lets the audio run, with the alarm
// ringing on after the click's own sounds have ended. The page logs no error.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import { evaluate, launch } from '../tools/web/cdp.mjs';
import { serve } from '../tools/web/serve.mjs';

const [site, res] = process.argv.slice(2);
const [WIDTH, HEIGHT] = [640, 480];

// Calls fn until it answers something true, and answers that; fails after about 30 s.
async function until(what, fn) {
  for (let deadline = Date.now() + 30000; Date.now() < deadline; await sleep(100)) {
    const value = await fn();
    if (value) {
      return value;
    }
  }
  throw new Error(`timed out: ${what}`);
}

// A 32-bit bottom-up BMP of assetgen's: pixel(x, y) is [r, g, b, a].
function bmp(name) {
  const data = readFileSync(join(res, name));
  const [offset, width] = [data.readUInt32LE(10), data.readInt32LE(18)];
  const height = data.readInt32LE(22);
  const at = (x, y) => offset + ((height - 1 - y) * width + x) * 4;
  return { width, height, pixel: (x, y) => [2, 1, 0, 3].map((c) => data[at(x, y) + c]) };
}

// Where the page shows the playfield: the largest whole scale that fits the canvas, centred.
const PLACE = `(() => {
  const box = document.getElementById('canvas')?.getBoundingClientRect() ?? { width: 0 };
  const scale = Math.min(Math.floor(box.width / ${WIDTH}), Math.floor(box.height / ${HEIGHT}));
  return { scale, left: box.left + Math.floor((box.width - ${WIDTH} * scale) / 2),
           top: box.top + Math.floor((box.height - ${HEIGHT} * scale) / 2) };
})()`;

// The playfield as shown: a screenshot, decoded by the page and sampled once per square.
async function playfield(page, place) {
  const { data } = await page.send('Page.captureScreenshot', { format: 'png' });
  const rgba = await evaluate(page, `(async () => {
    const image = new Image();
    image.src = 'data:image/png;base64,${data}';
    await image.decode();
    const grid = new OffscreenCanvas(${WIDTH}, ${HEIGHT}).getContext('2d');
    grid.imageSmoothingEnabled = false;
    const s = ${place.scale};
    grid.drawImage(image, ${place.left}, ${place.top}, ${WIDTH} * s, ${HEIGHT} * s,
      0, 0, ${WIDTH}, ${HEIGHT});
    return Array.from(grid.getImageData(0, 0, ${WIDTH}, ${HEIGHT}).data);
  })()`);
  return (x, y) => rgba.slice((y * WIDTH + x) * 4, (y * WIDTH + x) * 4 + 3).join();
}

// Whether the image's opaque pixels show unchanged with its top-left corner at (x, y), but
// for those under the crosshair (mask: x0, y0, x1, y1).
function covers(shown, x, y, image, mask = [-1, -1, -1, -1]) {
  for (let v = 0; v < image.height; v++) {
    for (let u = 0; u < image.width; u++) {
      const [r, g, b, a] = image.pixel(u, v);
      const masked = x + u >= mask[0] && x + u <= mask[2] && y + v >= mask[1] && y + v <= mask[3];
      if (a === 255 && !masked && shown(x + u, y + v) !== `${r},${g},${b}`) {
        return false;
      }
    }
  }
  return true;
}

// The page's audio output: the time and the peak of every buffer the game's mixer fills.
const TAP = `(() => {
  const node = Module.SDL2.audio.scriptProcessorNode;
  const mix = node.onaudioprocess;
  window.heard = [];
  node.onaudioprocess = (event) => {
    mix(event);
    let peak = 0;
    for (let c = 0; c < event.outputBuffer.numberOfChannels; c++) {
      for (const sample of event.outputBuffer.getChannelData(c)) {
        peak = Math.max(peak, Math.abs(sample));
      }
    }
    heard.push([event.playbackTime, peak]);
  };
})()`;

const server = await serve(site, 0);
const page = await launch(1400, 1100);
const errors = [];
page.on('Runtime.consoleAPICalled', (e) => ['error', 'assert'].includes(e.type) &&
  errors.push(e.args.map((arg) => arg.value ?? arg.description).join(' ')));
page.on('Runtime.exceptionThrown', (e) => errors.push(e.exceptionDetails.exception?.description));
page.on('Log.entryAdded', (e) => e.entry.level === 'error' && errors.push(e.entry.text));
try {
  await Promise.all(['Runtime.enable', 'Log.enable', 'Page.enable'].map((m) => page.send(m)));
  await page.send('Page.navigate', { url: `http://127.0.0.1:${server.address().port}/` });
  const place = await until('a playfield of whole scale', async () => {
    const at = await evaluate(page, PLACE);
    return at.scale > 0 && at;
  });
  assert.equal(place.scale, 2, 'the playfield scale in a 1400 x 1100 tab');
  await until('the background (102, 76, 76) at (20, 10)', async () =>
    (await playfield(page, place))(20, 10) === '102,76,76');
  const before = await evaluate(page, `[Module.SDL2.audioContext.state,
    document.getElementById('sound').hidden, getComputedStyle(Module.canvas).cursor]`);
  assert.equal(before.join(), 'suspended,false,none', 'audio, notice hidden, cursor');

  await evaluate(page, TAP);
  const at = (v) => (v + 0.5) * place.scale;
  const mouse = { x: place.left + at(449), y: place.top + at(90), button: 'left', clickCount: 1 };
  for (const type of ['mouseMoved', 'mousePressed', 'mouseReleased']) {
    await page.send('Input.dispatchMouseEvent', { type, ...mouse });
  }
  const half = bmp('cursor.bmp').width >> 1; // the crosshair, centred on the mouse
  const mask = [449 - half, 90 - half, 449 + half, 90 + half];
  await until('the window at (417, 58) shatters', async () => {
    const shown = await playfield(page, place);
    return covers(shown, 417, 58, bmp('window.bmp'), mask) &&
      !covers(shown, 417, 58, bmp('windowclean.bmp'), mask);
  });
  await until('the audio runs and the notice hides', async () =>
    (await evaluate(page, `[Module.SDL2.audioContext.state,
      document.getElementById('sound').hidden].join()`)) === 'running,true');
  // The shot and the glass last under half a second; what still sounds a second after the
  // first sound of the click is the alarm.
  const alarm = await until('a second and a half of audio after the click', async () => {
    const heard = await evaluate(page, 'heard');
    const first = heard.find(([, peak]) => peak > 0.01);
    return first && heard.at(-1)[0] > first[0] + 1.5 && heard.filter(([t]) => t > first[0] + 1);
  });
  const peak = Math.max(...alarm.map(([, p]) => p));
  assert.ok(peak > 0.02, `no alarm after the click's sounds: peak ${peak}`);
  assert.deepEqual(errors, [], 'the page logged errors');
  console.log('web page: drawn at scale 2, window shattered, alarm ringing; no errors');
} finally {
  await page.close();
  server.close();
}
