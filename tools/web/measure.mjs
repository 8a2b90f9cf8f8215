// measure.mjs: the browser build's figures, in Debian's headless Chromium (no GPU: SwiftShader)
// against the site as tools/web/serve.mjs serves it on 127.0.0.1 (gzip, as a web server sends
// it):
//
//   node tools/web/measure.mjs [SITE] [SECONDS]      (build-web/site and 10 by default)
//
// - download: every file of the site gzip-compressed, as served (the page, the game, the web
//   app manifest, the icons, the service worker), and the bytes the server sent over the wire
//   on a first visit in a fresh browser (headers included; the service worker's copy too);
// - start-up: from the start of the navigation to the animation frame that shows the game's
//   first frame, on that first visit and then on reloads (which the service worker answers,
//   where the site has one);
// - frames: on a desktop and an emulated phone held in landscape, at 1x and 4x CPU throttling,
//   over SECONDS seconds: the frames the game presented per second, and the share of that time
//   the page's main thread was busy (DevTools' TaskDuration): first with the sound not started
//   (nobody tapped), then on the phone once more after a tap, with the sound on.
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import { gzipSync } from 'node:zlib';
import { DEVICES, evaluate, launch } from './browser.mjs';
import { serve } from './serve.mjs';

const [site = 'build-web/site', seconds = '10'] = process.argv.slice(2);

// Run in the page before its scripts: counts the frames the game presented (each run of the
// game's code that put pixels into a 2-D canvas, as SDL's software renderer does once a
// frame), and notes the animation frame that showed the first. It asks for no animation frame after that: a page
// that does makes the browser prepare a frame of it 60 times a second, which costs the main
// thread more than the game.
function hook() {
  window.shown = { presented: 0, first: 0 };
  let drawing = false;
  const draw = () => {
    if (drawing) {
      return;
    }
    drawing = true;
    queueMicrotask(() => (drawing = false));
    if (shown.presented++ === 0) {
      requestAnimationFrame(() => (shown.first = performance.now()));
    }
  };
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    draw();
    return put.apply(this, args);
  };
}

// Loads the page (or reloads it) and answers the milliseconds to its first frame, or NaN when
// nothing is drawn within 30 s.
async function load(page, url) {
  await (url ? page.goto(url) : page.reload());
  for (let deadline = Date.now() + 30000; Date.now() < deadline; await sleep(50)) {
    const first = await evaluate(page, () => window.shown.first);
    if (first) {
      return first;
    }
  }
  return NaN;
}

// Frames presented per second and the main thread's busy share over the given seconds.
async function frames(page, rate) {
  await page.emulateCPUThrottling(rate);
  await sleep(2000); // settle
  const read = async () => [await page.metrics(), await evaluate(page, () => window.shown)];
  const [before, after] = [await read(), await sleep(Number(seconds) * 1000).then(read)];
  await page.emulateCPUThrottling(1);
  const wall = after[0].Timestamp - before[0].Timestamp;
  return {
    presented: (after[1].presented - before[1].presented) / wall,
    busy: (after[0].TaskDuration - before[0].TaskDuration) / wall,
  };
}

function download() {
  let total = 0;
  for (const file of readdirSync(site).sort()) {
    const bytes = gzipSync(readFileSync(join(site, file))).length;
    console.log(`  ${file}: ${bytes}`);
    total += bytes;
  }
  console.log(`download: ${total} bytes gzip (${(total / 1024).toFixed(0)} KiB), every file`);
}

download();
const server = await serve(site, 0);
const sockets = [];
server.on('connection', (socket) => sockets.push(socket));
const url = `http://127.0.0.1:${server.address().port}/`;
const browser = await launch();
try {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(hook);
  const first = await load(page, url);
  await sleep(2000); // the service worker done with its cache
  await page.close();
  const sent = sockets.reduce((sum, socket) => sum + socket.bytesWritten, 0);
  console.log(`over the wire on a first visit: ${sent} bytes`);
  const next = await browser.newPage();
  await next.evaluateOnNewDocument(hook);
  const loads = [];
  for (let i = 0; i < 5; i++) {
    loads.push(Math.round(await load(next, i === 0 ? url : undefined)));
    await sleep(1000); // the game running, as a player reloads it
  }
  const median = [...loads].sort((a, b) => a - b)[2];
  console.log(`first frame: ${Math.round(first)} ms on the first visit, then ` +
    `${loads.join(', ')} ms; median ${median} ms`);
  let drawn = false;
  for (const device of ['desktop', 'landscape', 'landscape, sound on']) {
    const [name, sound] = device.split(', ');
    if (!sound) {
      await next.emulate({ viewport: DEVICES[name], userAgent: await browser.userAgent() });
      drawn = !Number.isNaN(await load(next));
    }
    if (!drawn) {
      console.log(`${device}: nothing drawn`);
      continue;
    }
    if (sound) {
      await next.touchscreen.tap(10, 10); // on the black beside the playfield
      await sleep(500);
      console.log(`audio: ${await evaluate(next, () => Module.SDL2.audioContext.state)}`);
    }
    for (const rate of [1, 4]) {
      const { presented, busy } = await frames(next, rate);
      console.log(`${device}, CPU ${rate}x: ${presented.toFixed(1)} frames/s presented, ` +
        `main thread ${(busy * 100).toFixed(0)} % busy`);
    }
  }
} finally {
  await browser.close();
  server.close();
}
