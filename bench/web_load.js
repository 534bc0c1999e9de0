// How long the page takes to load in each browser engine, as a viewer waits for it: from
// opening the page to "click to start", and from the click to the first frame; at the local
// server's full speed and over a network of 1 MB/s (8 Mbit/s, the page's files sent at that
// pace), the median of RUNS loads each, every load in a fresh page.
//   node bench/web_load.js build-web [ENGINE...]     (default: all three)
// Run from the source folder after ./scripts/build-web and the web tests' npm install.
"use strict";
const {ENGINES, serveFaulty, launch} = require("../tests/web/browser.js");

const RUNS = 5;
const SLOW = 1e6;

const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];

async function load(browser, address) {
  const page = await browser.newPage();
  await page.goto(address);
  await page.waitFor(() => window.Module && Module.readyAt > 0, [], 180000);
  await page.click(512, 384);
  await page.waitFor(() => Module.framesDrawn > 0, [], 60000);
  const [ready, clicked, first] = await page.evaluate(() => [Module.readyAt, Module.clickedAt, Module.firstFrameAt]);
  await page.close();
  return [ready, first - clicked];
}

async function main() {
  const [dir, ...asked] = process.argv.slice(2);
  const engines = asked.length > 0 ? asked : ENGINES;
  // Both serve the files as uncacheable, so that every load downloads them again.
  const full = await serveFaulty(dir);
  const slow = await serveFaulty(dir, {}, {bytesPerSecond: SLOW});
  console.log("engine     network    load to click-to-start   click to first frame   (median of " + RUNS + ")");
  for (const engine of engines) {
    const browser = await launch(engine);
    for (const [network, address] of [["full", full.address], ["1 MB/s", slow.address]]) {
      const runs = [];
      for (let i = 0; i < RUNS; i++) runs.push(await load(browser, address));
      console.log(`${engine.padEnd(10)} ${network.padEnd(10)} ${median(runs.map((r) => r[0])).toFixed(0).padStart(17)} ms ` +
                  `${median(runs.map((r) => r[1])).toFixed(0).padStart(19)} ms`);
    }
    await browser.close();
  }
  full.stop();
  slow.stop();
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
