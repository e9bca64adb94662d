// The page's service worker: on install it keeps every file of the page
// (the page, the core's wasm and js, the examples, the icons) in a cache
// named after this build's version, and serves from there first, so after
// one visit the page works without a network. The build writes Version (a
// hash of the files) and Files; a new version installs beside the old one,
// and on activation the old caches are deleted.
const Version = '@VERSION@';
const Files = ['./', /*@FILES@*/];
const Prefix = 'orvik-';
const Name = Prefix + Version;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(Name).then((cache) => cache.addAll(Files)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
                      .then((keys) => Promise.all(
                                keys.filter((k) => k.startsWith(Prefix) && k !== Name).map((k) => caches.delete(k))))
                      .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== location.origin) return;
  // A link's #src= never reaches here (fragments stay in the browser); the
  // search part is ignored so that ?anything still finds the page.
  event.respondWith(caches.open(Name).then(
      (cache) => cache.match(request, {ignoreSearch: true}).then((hit) => hit || fetch(request))));
});
