// cdp.mjs: a small client of Chromium's DevTools protocol. It starts Debian's headless
// Chromium with a fresh profile, talks to it over the debugging pipe (file descriptors 3 and
// 4, one JSON message per NUL-terminated line) and opens one page to drive.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const FLAGS = [
  '--headless',
  '--remote-debugging-pipe',
  // WebGL without a GPU.
  '--use-angle=swiftshader',
  '--enable-unsafe-swiftshader',
  // Nothing but the page's own requests: the machine's network may be closed.
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-quic',
  '--disable-sync',
  '--no-first-run',
  '--no-default-browser-check',
];

// Starts Chromium and attaches to a blank page with a viewport of width x height. The page's
// send(method, params) answers with the command's result; on(method, fn) hears its events.
export async function launch(width, height) {
  const profile = mkdtempSync(join(tmpdir(), 'pordeck-chromium-'));
  const args = [...FLAGS, `--user-data-dir=${profile}`];
  if (process.getuid() === 0) {
    args.push('--no-sandbox');
  }
  const child = spawn('chromium', args, { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
  let log = '';
  child.stderr.on('data', (chunk) => (log = (log + chunk).slice(-4000)));
  const kill = () => child.kill('SIGKILL');
  process.on('exit', kill);

  let nextId = 1;
  const pending = new Map();
  const listeners = [];
  let input = '';
  child.stdio[4].on('data', (chunk) => {
    const messages = (input + chunk).split('\0');
    input = messages.pop();
    for (const message of messages.map((text) => JSON.parse(text))) {
      const call = pending.get(message.id);
      pending.delete(message.id);
      if (call && message.error) {
        call.reject(new Error(`${call.method}: ${message.error.message}`));
      } else if (call) {
        call.resolve(message.result);
      }
      listeners.filter((l) => l.method === message.method).forEach((l) => l.fn(message.params));
    }
  });
  const exited = new Promise((resolve) => child.on('exit', resolve));
  exited.then(() => pending.forEach((call) => call.reject(new Error(`Chromium exited: ${log}`))));

  const send = (method, params = {}, sessionId = undefined) =>
    new Promise((resolve, reject) => {
      const id = nextId++;
      pending.set(id, { method, resolve, reject });
      child.stdio[3].write(`${JSON.stringify({ id, method, params, sessionId })}\0`);
    });
  const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
  const { sessionId } = await send('Target.attachToTarget', { targetId, flatten: true });
  const viewport = { width, height, deviceScaleFactor: 1, mobile: false };
  await send('Emulation.setDeviceMetricsOverride', viewport, sessionId);
  return {
    send: (method, params) => send(method, params, sessionId),
    on: (method, fn) => listeners.push({ method, fn }),
    async close() {
      await send('Browser.close').catch(() => {});
      await Promise.race([exited, new Promise((resolve) => setTimeout(resolve, 5000))]);
      kill();
      process.off('exit', kill);
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// The value of a JavaScript expression in the page, awaited when it is a promise.
export async function evaluate(page, expression) {
  const { result, exceptionDetails } = await page.send('Runtime.evaluate', {
    expression,
    awaitPromise: true,
    returnByValue: true,
  });
  if (exceptionDetails) {
    throw new Error(`${expression}: ${exceptionDetails.exception?.description}`);
  }
  return result.value;
}
