// The page's service worker: keeps every file of the page in a cache named
// after this version of the page, so that after one visit the page loads and
// plays with no network. The build writes the version (a hash of the files)
// and the list; a new version caches anew and deletes the caches before it.
'use strict';

const cachename = 'quiverly-@QUIVERLY_VERSION@';
const files = [
  './',
  @QUIVERLY_FILES@
];

// Installing fetches every file again from the network, not from the browser's
// HTTP cache, so that the new version's cache holds the new files.
self.addEventListener('install', (event) => {
  event.waitUntil(
    caches
      .open(cachename)
      .then((cache) => cache.addAll(files.map((file) => new Request(file, { cache: 'reload' }))))
      .then(() => self.skipWaiting()),
  );
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((names) =>
        Promise.all(
          names.filter((name) => name.startsWith('quiverly-') && name !== cachename).map((name) => caches.delete(name)),
        ),
      )
      .then(() => self.clients.claim()),
  );
});

// The page's own files come from the cache; anything else (and a file the
// cache lacks) from the network. A page opened with a query is the page.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(
    caches
      .open(cachename)
      .then((cache) => cache.match(event.request, { ignoreSearch: true }))
      .then((cached) => cached || fetch(event.request)),
  );
});
