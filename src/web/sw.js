// sw.js: the page's service worker. It keeps this build's whole site in a cache named after
// the build's contents and answers every request from there, so that the game starts without a
// network. A new build has a new name: the browser installs it as a new worker, which takes over
// at once and drops the caches of the builds before it; the next load plays the new build.
// The build writes the name and the list of files in.
'use strict';

const CACHE = 'pordeck-@PORDECK_WEB_BUILD@';
const FILES = [@PORDECK_WEB_FILES@];

self.addEventListener('install', (event) => {
  // Past the browser's own cache, so that no file of an older build slips in.
  const requests = FILES.map((file) => new Request(file, { cache: 'reload' }));
  event.waitUntil(
    caches.open(CACHE).then((cache) => cache.addAll(requests)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  const stale = (name) => name.startsWith('pordeck-') && name !== CACHE;
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter(stale).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((kept) => kept || fetch(event.request)));
});
