// How long the page takes to load in each browser engine, as a viewer waits for it: from
// opening the page to "click to start", and from the click to the first frame; at the local
// server's full speed and over a network of 1 MB/s (8 Mbit/s, the page's files sent at that
// pace), the median of RUNS first visits each, every one in a fresh page with nothing kept from
// the one before. Then, from a server that answers "not modified" as usual ones do, a first visit
// watched until the service worker has kept the page, and a second visit over the slow network:
// the megabytes each downloaded, and the second one's times.
//   node bench/web_load.js build-web [ENGINE...]     (default: all three)
// Run from the source folder after ./scripts/build-web and the browser driver's npm ci
// (tools/browser).
"use strict";
const {ENGINES, serveFaulty, launch} = require("../tools/browser/browser.js");

const RUNS = 5;
const SLOW = 1e6;

const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];

// Opens the page, clicks once it is ready; resolves to the times from opening to "click to
// start" and from the click to the first frame, in ms. With `keep`, waits until the service
// worker has kept the page and its soundtrack; otherwise forgets whatever it kept.
async function load(browser, address, keep = false) {
  const page = await browser.newPage();
  await page.goto(address);
  await page.waitFor(() => window.Module && Module.readyAt > 0, [], 180000);
  await page.click(512, 384);
  await page.waitFor(() => Module.framesDrawn > 0, [], 60000);
  const [ready, clicked, first] = await page.evaluate(() => [Module.readyAt, Module.clickedAt, Module.firstFrameAt]);
  if (keep) {
    await page.waitFor(async () => {
      const [key] = await caches.keys();
      return key !== undefined && (await (await caches.open(key)).keys()).some((r) => /music\/024\./.test(r.url));
    }, [], 300000);
  } else {
    await page.evaluate(async () => {
      for (const r of await navigator.serviceWorker.getRegistrations()) await r.unregister();
      for (const key of await caches.keys()) await caches.delete(key);
    });
  }
  await page.close();
  return [ready, first - clicked];
}

async function main() {
  const [dir, ...asked] = process.argv.slice(2);
  const engines = asked.length > 0 ? asked : ENGINES;
  // Both serve the files as uncacheable, so that every load downloads them again.
  const full = await serveFaulty(dir);
  const slow = await serveFaulty(dir, {}, {bytesPerSecond: SLOW});
  const usual = await serveFaulty(dir, {}, {bytesPerSecond: SLOW, cacheable: true});
  const mb = (bytes) => (bytes / 1e6).toFixed(2) + " MB";
  console.log("engine     network      load to click-to-start   click to first frame   (median of " + RUNS + ")");
  const visits = [];
  for (const engine of engines) {
    const browser = await launch(engine);
    for (const [network, address] of [["full", full.address], ["1 MB/s", slow.address]]) {
      const runs = [];
      for (let i = 0; i < RUNS; i++) runs.push(await load(browser, address));
      console.log(`${engine.padEnd(10)} ${network.padEnd(12)} ${median(runs.map((r) => r[0])).toFixed(0).padStart(17)} ms ` +
                  `${median(runs.map((r) => r[1])).toFixed(0).padStart(19)} ms`);
    }
    const before = usual.sent();
    await load(browser, usual.address, true);
    const between = usual.sent();
    const [ready, first] = await load(browser, usual.address, true);
    visits.push(`${engine.padEnd(10)} first visit ${mb(between - before)}, second ${mb(usual.sent() - between)}: ` +
                `${ready.toFixed(0)} ms to click-to-start, ${first.toFixed(0)} ms from the click to the first frame`);
    await browser.close();
  }
  console.log("\nDownloaded at 1 MB/s, the first visit watched until the page is kept:");
  for (const line of visits) console.log(line);
  full.stop();
  slow.stop();
  usual.stop();
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
