// The web page's tests in headless Chromium (software WebGL through SwiftShader), run by ctest
// with the label `web` after ./scripts/build-web:
//   node web_test.js stills PAGE_DIR CAPTURE   each scene's still against the native capture
//   node web_test.js play PAGE_DIR             30 s of real-time play after a click
//   node web_test.js missing PAGE_DIR          a missing file is named on the page
// run from the source folder with the page's folder as ./scripts/build-web leaves it (build-web).
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");
const {execFile} = require("child_process");
const {serve, launch, sleep} = require("./browser.js");
const {readPng, compare} = require("./png.js");

// One moment in each scene (times the capture tool's 60 fps run draws), compared with the
// native capture in 4x4-pixel blocks: a block counts as different when its mean colour is more
// than 32 levels off. Calibration, two correct renderers of the same GL calls: Mesa's softpipe
// against its llvmpipe differ in up to 0.34% of the blocks of these moments (platon; curves
// 0.05%, fibotree 0.13%, the rest 0). The browser is held to 0.5% in every scene; it measured
// at most 0.17% (curves, where depth-tested wide lines decide ties differently). A wrong
// camera, layout, fog, font or line width moves far more.
const BLOCK = 4, THRESHOLD = 32, ALLOWED = 0.005;
const MOMENTS = [
  ["alku", 5250], ["platon", 33000], ["pot2d", 52000], ["newton", 80000], ["lorentz", 99000],
  ["rossler", 112000], ["dla", 126000], ["cell", 138000], ["curves", 152000], ["converge", 165000],
  ["fibotree", 185000], ["iterator", 211000], ["field", 235000],
];

// A page of 1024x768 CSS pixels at one device pixel per CSS pixel, whose errors are collected.
async function openPage(browser, problems) {
  const page = await browser.newPage();
  await page.setViewport({width: 1024, height: 768, deviceScaleFactor: 1});
  page.on("pageerror", (e) => problems.push("exception: " + e.message));
  page.on("console", (m) => {
    if (m.type() === "error" && !/favicon/.test(m.location().url || ""))
      problems.push("console error: " + m.text());
  });
  return page;
}

function check(ok, what, failures) {
  console.log((ok ? "ok   " : "FAIL ") + what);
  if (!ok) failures.push(what);
}

function capture(tool, ms, out) {
  // A one-frame range: the scenes that carry state are brought to it as by a jump, which
  // the capture tool does in seconds where --at draws every frame before it.
  return new Promise((resolve, reject) => {
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), "web-still-"));
    execFile(tool, ["--quiet", "--fps", "60", "--from", String(ms), "--to", String(ms), "--out", dir + "/"],
             (error) => {
               if (error) return reject(error);
               const [png] = fs.readdirSync(dir);
               fs.renameSync(path.join(dir, png), out);
               fs.rmdirSync(dir);
               resolve();
             });
  });
}

async function stills(dir, tool, failures) {
  const server = await serve(dir);
  const base = server.address;
  const work = fs.mkdtempSync(path.join(os.tmpdir(), "web-stills-"));
  const browser = await launch();
  // The native captures run beside the browser.
  const natives = MOMENTS.map(([, ms]) => capture(tool, ms, path.join(work, `native-${ms}.png`)));
  try {
    for (let i = 0; i < MOMENTS.length; i++) {
      const [scene, ms] = MOMENTS[i];
      const problems = [];
      const page = await openPage(browser, problems);
      const started = Date.now();
      await page.goto(`${base}?t=${ms}`);
      await page.waitForFunction(() => document.title === "ready" || document.title === "error", {timeout: 120000});
      const webPng = path.join(work, `web-${ms}.png`);
      await page.screenshot({path: webPng});
      const glErrors = await page.evaluate(() => Module.glErrors);
      await page.close();
      await natives[i];
      const c = compare(readPng(webPng), readPng(path.join(work, `native-${ms}.png`)), BLOCK, THRESHOLD);
      check(problems.length === 0 && glErrors === 0 && c.overShare <= ALLOWED,
            `${scene} at ${ms} ms: ${(100 * c.overShare).toFixed(3)}% of blocks differ ` +
            `(allowed ${(100 * ALLOWED).toFixed(1)}%), mean difference ${c.meanDiff.toFixed(2)}, ` +
            `${glErrors} GL errors, ${Date.now() - started} ms ${problems.join("; ")}`, failures);
    }
  } finally {
    await browser.close();
    server.stop();
  }
  if (failures.length === 0) fs.rmSync(work, {recursive: true});
  else console.log("pictures kept in " + work);
}

async function play(dir, failures) {
  const server = await serve(dir);
  const browser = await launch();
  const problems = [];
  try {
    const page = await openPage(browser, problems);
    await page.goto(server.address);
    const prompt = await page.$eval("#message", (m) => m.textContent);
    check(prompt === "click to start", `before a click the page says "${prompt}"`, failures);
    await page.waitForFunction(() => window.Module && Module.showIsReady, {timeout: 60000});
    await page.mouse.click(512, 384);
    await page.waitForFunction(() => Module.framesDrawn > 0, {timeout: 60000});
    const first = await page.evaluate(() => ({show: Module._web_time(), frames: Module.framesDrawn,
                                               wall: performance.now(), audio: Module.audioState()}));
    await sleep(30000);
    const last = await page.evaluate(() => ({show: Module._web_time(), frames: Module.framesDrawn,
                                              wall: performance.now(), glErrors: Module.glErrors,
                                              audio: Module.audioState()}));
    const wall = last.wall - first.wall, shown = last.show - first.show;
    const heard = last.audio.contextMs - first.audio.contextMs;
    check(last.audio.state === "running" && last.audio.playing && Math.abs(heard - wall) < 1000,
          `the music plays: audio context ${last.audio.state}, source ${last.audio.playing ? "on" : "off"}, ` +
          `its clock ran ${heard.toFixed(0)} ms`, failures);
    check(Math.abs(shown - wall) < 1000,
          `show time follows the music's clock: ${shown} ms of show in ${wall.toFixed(0)} ms`, failures);
    check(last.frames - first.frames > 30, `${last.frames - first.frames} frames drawn in 30 s`, failures);
    check(last.glErrors === 0, `${last.glErrors} GL errors`, failures);

    // Space holds picture and music; Right jumps 10 s; Space goes on from there.
    await page.keyboard.press("Space");
    const held = await page.evaluate(() => Module._web_time());
    await sleep(1000);
    const still = await page.evaluate(() => ({show: Module._web_time(), audio: Module.audioState()}));
    check(still.show === held && !still.audio.playing, `paused: show time stays at ${still.show} ms, music stopped`,
          failures);
    await page.keyboard.press("ArrowRight");
    await sleep(200);
    const jumped = await page.evaluate(() => Module._web_time());
    check(jumped === held + 10000, `Right while paused: ${held} -> ${jumped} ms`, failures);
    await page.keyboard.press("Space");
    await sleep(1000);
    const resumed = await page.evaluate(() => ({show: Module._web_time(), audio: Module.audioState()}));
    check(resumed.audio.playing && Math.abs(resumed.audio.positionMs - resumed.show) < 150 &&
          resumed.show > jumped + 500,
          `resumed: show at ${resumed.show} ms, music at ${resumed.audio.positionMs.toFixed(0)} ms`, failures);
    check(problems.length === 0, `no exception or console error ${problems.join("; ")}`, failures);
  } finally {
    await browser.close();
    server.stop();
  }
}

async function missing(dir, failures) {
  const browser = await launch();
  try {
    for (const name of ["quenrastilan.wasm", "music.opus"]) {
      const server = await serve(dir, [name]);
      const page = await openPage(browser, []);
      await page.goto(server.address);
      await page.waitForFunction(() => document.title === "error", {timeout: 60000}).catch(() => {});
      const text = await page.$eval("#message", (m) => m.textContent);
      const lines = await page.$eval("#message", (m) => m.getClientRects().length);
      check(text.startsWith(`Could not load ${name}: 404 `) && lines === 1,
            `without ${name} the page says "${text}"`, failures);
      await page.close();
      server.stop();
    }
  } finally {
    await browser.close();
  }
}

async function main() {
  const [what, dir, tool] = process.argv.slice(2);
  if (!dir || !fs.existsSync(path.join(dir, "index.html"))) {
    console.error(`web_test: no page in ${dir}: run ./scripts/build-web first`);
    process.exit(2);
  }
  const failures = [];
  if (what === "stills") await stills(dir, tool, failures);
  else if (what === "play") await play(dir, failures);
  else if (what === "missing") await missing(dir, failures);
  else throw new Error("unknown test " + what);
  if (failures.length > 0) {
    console.error(`${failures.length} failed`);
    process.exit(1);
  }
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
