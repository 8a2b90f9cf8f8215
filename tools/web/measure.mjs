// measure.mjs: the browser build's start-up figures, in Debian's headless Chromium against the
// page as tools/web/serve.mjs serves it on 127.0.0.1 (gzip, as a web server sends it):
//
//   node tools/web/measure.mjs [SITE] [LOADS]      (build-web/site and 6 by default)
//
// - download: the bytes of each response as they came over the wire (gzip body and headers):
//   the page, its script, the game's script, wasm and data;
// - first frame: from the start of the navigation to the animation frame that shows the
//   game's first frame (its first draw to the screen). The browser's cache is off, so every
//   load fetches and compiles everything again. The first load also pays for the browser
//   starting WebGL (here on SwiftShader, in software); the median is of the loads after it.
import { setTimeout as sleep } from 'node:timers/promises';
import { evaluate, launch } from './cdp.mjs';
import { serve } from './serve.mjs';

const [site = 'build-web/site', loads = '6'] = process.argv.slice(2);

// Run in the page before its scripts: notes when the first draw to the screen (the default
// framebuffer, not the game's canvas texture) reaches an animation frame.
const HOOK = `for (const gl of [WebGLRenderingContext, WebGL2RenderingContext]) {
  const proto = gl.prototype;
  for (const name of ['drawArrays', 'drawElements']) {
    const draw = proto[name];
    proto[name] = function (...args) {
      if (!window.firstFrame && this.getParameter(this.FRAMEBUFFER_BINDING) === null) {
        window.firstFrame = -1;
        requestAnimationFrame(() => (window.firstFrame = performance.now()));
      }
      return draw.apply(this, args);
    };
  }
}`;

// One load of the page: the milliseconds to its first frame, and the bytes of each response.
async function load(page, url) {
  const sizes = new Map();
  const urls = new Map();
  responses = { urls, sizes };
  await page.send('Page.navigate', { url });
  for (let tries = 0; tries < 600; tries++) {
    const ms = await evaluate(page, 'window.firstFrame');
    if (ms > 0) {
      return { ms, sizes };
    }
    await sleep(50);
  }
  throw new Error('no frame within 30 s');
}

const server = await serve(site, 0);
const url = `http://127.0.0.1:${server.address().port}/`;
const page = await launch(1280, 800);
let responses; // the responses of the current load
page.on('Network.responseReceived', (e) => responses.urls.set(e.requestId, e.response.url));
page.on('Network.loadingFinished', (e) =>
  responses.sizes.set(responses.urls.get(e.requestId), e.encodedDataLength));
const runs = [];
try {
  await Promise.all(['Network.enable', 'Page.enable'].map((method) => page.send(method)));
  await page.send('Network.setCacheDisabled', { cacheDisabled: true });
  await page.send('Page.addScriptToEvaluateOnNewDocument', { source: HOOK });
  for (let i = 0; i < Number(loads); i++) {
    runs.push(await load(page, `${url}?load=${i}`));
  }
} finally {
  await page.close();
  server.close();
}

let total = 0;
for (const [file, bytes] of runs.at(-1).sizes) {
  console.log(`${new URL(file).pathname}: ${bytes} bytes`);
  total += bytes;
}
console.log(`download: ${total} bytes (${(total / 1024).toFixed(0)} KiB) over the wire`);
const [first, ...rest] = runs.map((run) => Math.round(run.ms));
const sorted = [...rest].sort((a, b) => a - b);
console.log(`first frame: ${first} ms on the first load, then ${rest.join(', ')} ms; ` +
  `median ${sorted[Math.floor(sorted.length / 2)]} ms`);
