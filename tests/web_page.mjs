// web_page.mjs: the browser build in Debian's headless Chromium (tools/web/browser.mjs), served
// on 127.0.0.1 as a web server would serve it, played as a desktop with a mouse and as a phone
// with touch only, in portrait and in landscape, and read back by screenshot through shot.sh:
//
//   node web_page.mjs SITE RES VERSION
//
// SITE is the build's site/ directory, RES the generated images, VERSION the project's. On
// each device the playfield shows its background, at the size the README gives for it, with
// the bar below it (a desktop once the notice has gone, a phone upright), beside it (a phone
// in landscape) or, where neither has room (a 640 x 480 tab), folded over its corner. On the
// desktop the page names the version and installs as an app, and the first click shatters the
// level's last window and starts the sound; a gamepad (the test's own, behind
// navigator.getGamepads) aims at the topmost crate and cracks it, X breaks it; the alarm's
// button and N switch the sounds off, which a reload remembers; a tab in front of the page
// suspends its sound, and in front again it plays on. On the phone, in portrait, the first tap
// on a crate cracks it and starts the sound, a second breaks it, a slide moves the crosshair,
// nothing scrolls, and
// with the network and the server gone a reload still starts the game. No page logs an error.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import { fileURLToPath } from 'node:url';
import { DEVICES, evaluate, launch } from '../tools/web/browser.mjs';
import { serve } from '../tools/web/serve.mjs';

const [site, res, version] = process.argv.slice(2);
const HERE = dirname(fileURLToPath(import.meta.url));
const SHOT = join(HERE, 'shot.sh');
const scratch = mkdtempSync(join(tmpdir(), 'pordeck-web-'));
const errors = [];

// From the level the game is built from: its last window, the topmost prop where it lies, and
// its last crate that no window lies over; each with its top-left corner and its centre.
const objects = JSON.parse(readFileSync(join(HERE, '../map/fendor.tmj')))
  .layers.flatMap((layer) => layer.objects ?? []);
const over = (a, b) => a.x < b.x + b.width && b.x < a.x + a.width &&
  a.y < b.y + b.height && b.y < a.y + a.height;
const corners = (o) => ({ corner: [o.x, o.y], centre: [o.x + o.width / 2, o.y + o.height / 2] });
const WINDOW = corners(objects.filter((o) => o.type === 'window').at(-1));
const CRATE = corners(objects.filter((o) => o.type === 'box' &&
  !objects.some((w) => w.type === 'window' && over(w, o))).at(-1));

// Calls fn until it answers something true, and answers that; fails after about 30 s.
async function until(what, fn) {
  for (let deadline = Date.now() + 30000, value; Date.now() < deadline; await sleep(100)) {
    if ((value = await fn())) return value;
  }
  throw new Error(`timed out: ${what}`);
}

// Where the playfield lies: its canvas's box in CSS pixels and in screenshot (device) pixels;
// and where the bar lies against it: 'below' or 'beside' it in the tab, 'folded' over it
// without the help, else 'misplaced'.
async function field(page) {
  const { left, top, width, height, ratio, bar, help, room } = await evaluate(page, () => {
    const box = (id) => document.getElementById(id).getBoundingClientRect().toJSON();
    return { ...box('canvas'), ratio: devicePixelRatio, bar: box('bar'), help: box('help'),
      room: [innerWidth, innerHeight] };
  });
  const within = (l, t, r, b) => bar.width > 0 && bar.left >= l - 0.5 && bar.top >= t - 0.5 &&
    bar.right <= r + 0.5 && bar.bottom <= b + 0.5;
  return { left, top, width, height,
    device: [Math.round(width * ratio), Math.round(height * ratio)],
    shot: [width * ratio / 640, Math.round(left * ratio), Math.round(top * ratio)],
    bar: within(0, top + height, ...room) ? 'below' : within(left + width, 0, ...room) ? 'beside'
      : within(left, top, left + width, top + height) && !help.width ? 'folded' : 'misplaced' };
}

// Where to put the pointer to aim at canvas pixel (x, y), and the canvas pixel the crosshair
// goes to: puppeteer puts a finger at whole CSS pixels of the page, and the game learns the
// position in whole CSS pixels from the canvas's corner.
function aim(place, x, y) {
  const at = [Math.round(place.left + (x + 0.5) * place.width / 640),
    Math.round(place.top + (y + 0.5) * place.height / 480)];
  return { at, mouse: [Math.floor(Math.trunc(at[0] - place.left) * 640 / place.width),
    Math.floor(Math.trunc(at[1] - place.top) * 480 / place.height)] };
}

// Whether shot.sh finds CHECK (with its arguments) holds in a screenshot of the page.
async function shows(page, place, ...check) {
  const png = join(scratch, 'page.png');
  await page.screenshot({ path: png });
  const run = spawnSync('bash', [SHOT, png, res, ...place.shot, ...check].map(String));
  assert.ok(run.status <= 1, `shot.sh: ${run.stderr}`);
  return run.status === 0;
}

// A gamepad with the standard layout, the only one navigator.getGamepads gives; testPad(button,
// pressed) presses and releases its buttons.
function fakeGamepad() {
  const pad = { id: 'Test pad', index: 0, connected: true, mapping: 'standard', timestamp: 1,
    axes: [0, 0, 0, 0], buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })) };
  window.testPad = (button, pressed) => {
    pad.buttons[button] = { pressed, value: Number(pressed) };
    pad.timestamp += 1;
  };
  Object.defineProperty(Navigator.prototype, 'getGamepads', { value: () => [pad] });
}

// Opens the page as the device (running setup first in it, if given) and waits for the
// playfield's background; checks the picture's size in device pixels, and answers the place.
async function open(browser, device, size, setup) {
  const page = await browser.newPage();
  if (setup) await page.evaluateOnNewDocument(setup);
  page.on('console', (m) => ['error', 'assert'].includes(m.type()) && errors.push(m.text()));
  page.on('pageerror', (error) => errors.push(error.message));
  await page.emulate({ viewport: DEVICES[device], userAgent: await browser.userAgent() });
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  const place = await until(`${device}: the background at (20, 10) and (630, 10)`, async () => {
    const place = await field(page);
    return (await shows(page, place, 'background', 20, 10)) &&
      (await shows(page, place, 'background', 630, 10)) && place;
  });
  assert.deepEqual(place.device, size, `${device}: the picture's size`);
  return { page, place };
}

const sound = (page) => evaluate(page, () =>
  [Module.SDL2.audioContext.state, document.getElementById('sound').hidden].join());
// The sound buttons' states, as a screen reader reads them: 'true,true' with both sounds on.
const switches = (page) => evaluate(page, () =>
  ['music', 'effects'].map((id) => document.getElementById(id).ariaPressed).join());

async function desktop(browser) {
  const { page, place } = await open(browser, 'desktop', [1280, 960], fakeGamepad); // scale 2
  const before = await evaluate(page, () => [Module.SDL2.audioContext.state,
    document.getElementById('sound').textContent, getComputedStyle(Module.canvas).cursor,
    document.getElementById('version').textContent]);
  assert.deepEqual(before,
    ['suspended', 'Tap or click to start the sound.', 'none', `pordeck ${version}`]);
  const { installabilityErrors } =
    await (await page.createCDPSession()).send('Page.getInstallabilityErrors');
  assert.deepEqual(installabilityErrors, [], 'the page does not install as an app');
  const window = aim(place, ...WINDOW.centre);
  await page.mouse.click(...window.at);
  await until(`the window at (${WINDOW.corner}) shatters`, () =>
    shows(page, place, 'shattered', ...WINDOW.corner, ...window.mouse));
  await until('the audio runs and the notice hides', async () =>
    (await sound(page)) === 'running,true');
  assert.equal((await field(page)).bar, 'below', 'the bar, the notice gone, below the playfield');
  // From the background at the left edge a row above the topmost crate's centre, the pad's
  // east button aims at that crate, the next thing in reading order, and its south button
  // cracks it; X breaks it.
  await page.mouse.move(...aim(place, 10, CRATE.centre[1] - 1).at);
  for (const [button, pressed] of [[1, true], [1, false], [0, true], [0, false]]) {
    await evaluate(page, (...args) => testPad(...args), button, pressed);
    await sleep(200); // a few frames, as a thumb holds it
  }
  const cracked = () => shows(page, place, 'cracked', ...CRATE.corner, ...CRATE.centre);
  await until(`the pad cracks the crate at (${CRATE.corner})`, cracked);
  await page.keyboard.press('x');
  await until('X breaks it', async () => !(await cracked()));
  await page.click('#music');
  await page.keyboard.press('n');
  await until('the alarm\'s button and N switch the sounds off', async () =>
    (await switches(page)) === 'false,false');
  const other = await browser.newPage();
  await other.bringToFront();
  await until('behind another tab, the sound is suspended', async () =>
    (await sound(page)) === 'suspended,true');
  await page.bringToFront();
  await other.close();
  await until('in front again, it runs', async () => (await sound(page)) === 'running,true');
  await page.reload();
  await until('a reload keeps them off', async () => (await switches(page)) === 'false,false');
  await page.click('#music'); // the first press since the reload: the sound starts, the bar moves
  await until('the alarm\'s button switches it on again, the sound running', async () =>
    [await switches(page), await sound(page)].join() === 'true,false,running,true');
  await page.click('#effects');
  await until('the effects\' button too', async () => (await switches(page)) === 'true,true');
  // A tab the playfield's own size leaves no room beside it or below.
  await page.setViewport({ width: 640, height: 480 });
  await until('in a 640 x 480 tab the bar folds over the playfield', async () =>
    (await field(page)).bar === 'folded');
  await page.close();
}

async function portrait(browser) {
  // 389.3 x 292 CSS pixels: the largest 4:3 picture, scale 1 being too small a part of it.
  const { page, place } = await open(browser, 'portrait', [1168, 876]);
  assert.equal(place.bar, 'below');
  // One tap on the crate cracks it, and it stays cracked. The finger stays down a few frames,
  // as a person's does, so that a mouse press the browser might make of the tap would come a
  // frame after the touch's own.
  const crate = aim(place, ...CRATE.centre);
  const cracked = () => shows(page, place, 'cracked', ...CRATE.corner, ...crate.mouse);
  await page.touchscreen.touchStart(...crate.at);
  await sleep(150);
  await page.touchscreen.touchEnd();
  await until('one tap cracks the crate (two would break it)', cracked);
  await sleep(500);
  assert.ok(await cracked(), 'one tap broke the crate');
  await until('the first tap starts the sound', async () => (await sound(page)) === 'running,true');
  await page.touchscreen.tap(...crate.at);
  await until('a second tap breaks it', async () => !(await cracked()));
  // A finger put down at (20, 10) and slid to (600, 20) takes the crosshair along.
  await page.touchscreen.touchStart(...aim(place, 20, 10).at);
  for (const x of [100, 300, 600]) {
    await page.touchscreen.touchMove(...aim(place, x, 20).at);
  }
  await page.touchscreen.touchEnd();
  await until('the crosshair leaves (20, 10)', () => shows(page, place, 'background', 20, 10));
  // Nor does a slide up the black above the playfield scroll the page.
  await page.touchscreen.touchStart(place.width / 2, place.top - 20);
  await page.touchscreen.touchMove(place.width / 2, 20);
  await page.touchscreen.touchEnd();
  assert.deepEqual(await evaluate(page, () => [scrollX, scrollY]), [0, 0], 'the page scrolled');
  // Now kept by the service worker, it starts with the network gone, the server too.
  server.close();
  server.closeAllConnections();
  await page.setOfflineMode(true);
  await page.reload();
  await until('offline, the background at (20, 10)', () =>
    shows(page, place, 'background', 20, 10));
  await page.close();
}

const server = await serve(site, 0);
const browser = await launch();
try {
  await desktop(browser);
  // 426.7 x 320 CSS pixels: scale 2, whole.
  const { page, place } = await open(browser, 'landscape', [1280, 960]);
  assert.equal(place.bar, 'beside');
  await page.close();
  await portrait(browser);
  assert.deepEqual(errors, [], 'the pages logged errors');
  console.log('web page: desktop, phone portrait and landscape played; offline start; no errors');
} finally {
  await browser.close();
  server.close();
  rmSync(scratch, { recursive: true, force: true });
}
