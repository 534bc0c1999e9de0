// Keeping the page for visits without the network. The service worker (sw.js) takes the page's
// own files when it is installed; the soundtrack's pieces it takes once the page knows which of
// their two encodings this browser decodes, so that only one is fetched and kept.
export function keepOffline() {
  if ("serviceWorker" in navigator)
    addEventListener("load", () => navigator.serviceWorker.register("sw.js").catch(() => {}));
}

// Asks the worker of this page's build to keep the soundtrack's files (names beside the page).
export function keepSoundtrack(files) {
  if (!("serviceWorker" in navigator)) return;
  const worker = navigator.serviceWorker.controller;
  const asked = worker ? Promise.resolve(worker) : navigator.serviceWorker.ready.then((r) => r.active);
  asked.then((w) => w && w.postMessage({keep: files}), () => {});
}
