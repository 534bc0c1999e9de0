// The page's service worker: keeps one build's files, so that a second visit starts without the
// network and works offline. scripts/build-web writes the build's file list (but the soundtrack's
// pieces) and a version (a hash of all its files) in place of the two markers below. The
// soundtrack's pieces it keeps as the page downloads them, and the rest of them when the page,
// having found which of the two encodings the browser decodes, asks for them: one encoding is
// fetched and kept, once. A new build is a new version, whose files are all fetched
// (revalidated, never taken stale from the HTTP cache) before it takes over, and it takes over
// only once no page of the old one is open, so a page never mixes the files of two builds.
"use strict";
const VERSION = "quenrastilan-@VERSION@";
const FILES = [@FILES@];

function keep(cache, name) {
  return fetch(name, {cache: "no-cache"}).then((response) => {
    if (!response.ok) throw new Error(name + ": " + response.status);
    return cache.put(name, response);
  });
}

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(VERSION).then((cache) => Promise.all(FILES.map((name) => keep(cache, name)))));
});

// The old builds' files go once this one has taken over; a first visit's page, not yet its
// own, becomes its own, so that the pieces it downloads from now on are kept as they come.
self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((k) => k.startsWith("quenrastilan-") && k !== VERSION)
      .map((k) => caches.delete(k))))
    .then(() => self.clients.claim()));
});

const PIECE = /^music\/[0-9]+\.[a-z0-9]+$/;

// The soundtrack's pieces the page plays, those not kept yet.
self.addEventListener("message", (event) => {
  const names = (event.data && event.data.keep || []).filter((n) => PIECE.test(n));
  event.waitUntil(caches.open(VERSION).then((cache) => Promise.all(names.map((name) =>
    cache.match(name).then((hit) => hit || keep(cache, name).catch(() => {}))))));
});

// The build's own files come from its cache, whatever the query (?start=, ?t=), a piece not kept
// yet from the network, kept as it passes; anything else from the network.
self.addEventListener("fetch", (event) => {
  const request = event.request;
  const url = new URL(request.url);
  if (request.method !== "GET" || url.origin !== location.origin) return;
  const name = url.pathname.slice(new URL(self.registration.scope).pathname.length);
  event.respondWith(caches.open(VERSION).then((cache) => cache.match(request, {ignoreSearch: true})
    .then((cached) => cached || fetch(request).then((response) => {
      if (response.ok && PIECE.test(name)) cache.put(name, response.clone());
      return response;
    }))));
});
