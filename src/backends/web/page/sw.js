// The page's service worker: it keeps every file of one version of the page (the page, the engine, the
// fonts and the game's data) so that the game starts and plays without a network once it has been
// played, and it takes a new version in the background. mokuren-web-pack writes SITE in front of this
// file: the version (a hash of every file's name), the page's frame (shell), every file the game may start
// without (files) and those fetched only when needed (optional: the whole faces of the cut-down fonts).
//
// On a first visit it keeps only the page's frame at once and takes over the page, whose fetches (the
// engine, the data before the title, then the rest in the background) it keeps as they come, so nothing
// is downloaded twice. A new version waits, with every one of its files kept (those the version before
// had are copied, not fetched), until the page tells it to take over; the page then starts again on it.
'use strict';
const CACHE = 'mokuren-' + SITE.version;
const scope = self.registration.scope;
const INDEX = new URL('index.html', scope).href;
const FILES = new Set([...SITE.files, ...SITE.optional].map((u) => new URL(u, scope).href));
const OPTIONAL = new Set(SITE.optional.map((u) => new URL(u, scope).href));

async function fetchWhole(url) {
  // The page itself is asked again of the server; every other file is named by its content.
  const response = await fetch(url, url === INDEX ? { cache: 'no-cache' } : {});
  if (!response.ok) throw new Error(url + ': ' + response.status);
  return response;
}

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    const older = (await caches.keys()).filter((k) => k.startsWith('mokuren-') && k !== CACHE);
    const wanted = (older.length ? [...SITE.files, ...SITE.optional] : SITE.shell).map((u) => new URL(u, scope).href);
    // Of the two engines (with WebAssembly SIMD and without), a new version keeps the one this browser used.
    const engine = (url) => (/\/mokuren-scalar\.\w+\.(js|wasm)$/.test(url) ? 'scalar' : /\/mokuren\.\w+\.(js|wasm)$/.test(url) ? 'simd' : '');
    const used = new Set();
    for (const name of older)
      for (const request of await (await caches.open(name)).keys()) used.add(engine(request.url));
    for (const url of wanted) {
      if (engine(url) && !used.has(engine(url))) continue;
      if (await cache.match(url)) continue;
      let kept = null;
      for (const name of older) {
        kept = await (await caches.open(name)).match(url);
        if (kept) break;
      }
      // What is fetched only when needed (the whole faces) comes along only if the version before had it.
      if (kept || !OPTIONAL.has(url)) await cache.put(url, kept || (await fetchWhole(url)));
    }
    if (!older.length) await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys())
      if (name.startsWith('mokuren-') && name !== CACHE) await caches.delete(name);
    await self.clients.claim();
  })());
});

self.addEventListener('message', (event) => {
  if (event.data === 'take-over') self.skipWaiting();
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || request.headers.has('range')) return;
  const url = new URL(request.url);
  const page = request.mode === 'navigate' && url.origin === location.origin;
  const key = page ? INDEX : url.href.split('#')[0];
  if (!page && !FILES.has(key)) return;  // not this version's: the network as usual
  event.respondWith((async () => {
    const cache = await caches.open(CACHE);
    const kept = await cache.match(key);
    if (kept) return kept;
    const response = await fetch(page ? INDEX : request);
    if (response.ok && response.status === 200 && !page) await cache.put(key, response.clone());
    return response;
  })());
});
