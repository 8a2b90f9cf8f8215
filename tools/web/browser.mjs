// browser.mjs: Debian's headless Chromium driven through puppeteer-core, started alike for the
// browser test and the measurements, and the devices they emulate in it.
import puppeteer from 'puppeteer-core';

const FLAGS = [
  // No GPU here: Chromium's own drawing (the page's composition, its 2-D canvas) on
  // SwiftShader, which does a GPU's work on the CPU.
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

// The viewports the page is tried in: CSS pixels, the device pixel ratio, and whether the
// device is a phone that has touch only.
export const DEVICES = {
  desktop: { width: 1400, height: 1100, deviceScaleFactor: 1, isMobile: false, hasTouch: false },
  portrait: { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true },
  landscape: {
    width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true,
    isLandscape: true,
  },
};

// Starts Chromium with a fresh profile (removed again by close()).
export function launch() {
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    pipe: true,
    defaultViewport: DEVICES.desktop,
    args: [...FLAGS, ...(process.getuid() === 0 ? ['--no-sandbox'] : [])],
  });
}

const sessions = new WeakMap();

// The value of fn(...args) in the page, awaited, run as the page's own script would run it:
// puppeteer's page.evaluate runs as if the user had just tapped, which lets the sound start.
export async function evaluate(page, fn, ...args) {
  if (!sessions.has(page)) {
    sessions.set(page, await page.createCDPSession());
  }
  const { result, exceptionDetails } = await sessions.get(page).send('Runtime.evaluate', {
    expression: `(${fn})(...${JSON.stringify(args)})`,
    awaitPromise: true,
    returnByValue: true,
  });
  if (exceptionDetails) {
    throw new Error(exceptionDetails.exception?.description ?? exceptionDetails.text);
  }
  return result.value;
}
