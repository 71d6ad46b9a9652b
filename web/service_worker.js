// The page's service worker. It does two jobs that need the same place:
// - it adds the two cross-origin isolation headers to every file of the page,
//   so that a host that cannot send them still gives the game's threads their
//   shared memory (the page reloads itself once, the first time, to be served
//   through it);
// - it keeps every file of the page in a cache of its build, so a second
//   visit plays with no network and the browser can install the page.
// The build writes this file into the page folder with the list of the
// folder's files and a hash of their bytes in place of the two markers, so a
// new build is a new worker and a new cache.
const FILES = @PAGE_FILES@;
const CACHE_PREFIX = `tilewalk ${registration.scope} `;  // a cache per page folder of the host
const CACHE = `${CACHE_PREFIX}@PAGE_VERSION@`;

// The files are kept as they are served, headers added: a cached answer then
// goes to the page untouched, and the browser keeps the compiled code of the
// scripts and the program beside it, so that a second visit starts sooner.
self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => Promise.all(FILES.map(async (file) => {
    // From the host, never from the HTTP cache, which may hold the build before.
    const response = await fetch(new Request(file, {cache: 'reload'}));
    if (!response.ok) throw new Error(`${file}: ${response.status} ${response.statusText}`);
    await cache.put(file, isolated(response));
  }))));
});

// A page of the previous build may still be loading its files; a newer worker
// takes over only when the page says that its game has started (or when no
// page of the previous build is left open).
self.addEventListener('message', (event) => {
  if (event.data === 'take-over') self.skipWaiting();
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(names
      .filter((name) => name.startsWith(CACHE_PREFIX) && name !== CACHE)
      .map((name) => caches.delete(name)))));
});

// Every file the page loads is its own, so requiring cross-origin files to
// allow embedding costs nothing.
function isolated(response) {
  if (response.type === 'opaque' || response.type === 'error') return response;
  const headers = new Headers(response.headers);
  headers.set('Cross-Origin-Opener-Policy', 'same-origin');
  headers.set('Cross-Origin-Embedder-Policy', 'require-corp');
  return new Response(response.body,
                      {status: response.status, statusText: response.statusText, headers});
}

// The folder's address is its index.html; a page address's query is not part
// of the file.
function cacheKey(request) {
  const url = new URL(request.url);
  if (request.mode === 'navigate') url.search = '';
  if (url.pathname.endsWith('/')) url.pathname += 'index.html';
  return url.href;
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || !request.url.startsWith(registration.scope)) return;
  event.respondWith(caches.open(CACHE)
      .then((cache) => cache.match(cacheKey(request)))
      .then((cached) => cached || fetch(request).then(isolated)));
});
