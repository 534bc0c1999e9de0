// The page when the browser takes its GPU away and gives it back, and a still when the window's
// size changes, in headless Chromium:
//   node tests/web/gpu_test.js PAGE_DIR
// run from the source folder with the page's folder as ./scripts/build-web leaves it (build-web).
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");
const {serve, launch, sleep} = require("./browser.js");
const {readPng, compare} = require("./png.js");
const {recordStarts} = require("./audio.js");

// Pictures of one moment drawn twice by one browser, which should be one picture: compared as
// the stills test compares, and the mean difference per pixel and channel held to nearly
// nothing (a state-carrying scene brought to its moment wrongly moves it by a tenth and more).
const BLOCK = 4, THRESHOLD = 32, MEAN = 0.05;

function check(ok, what, failures) {
  console.log((ok ? "ok   " : "FAIL ") + what);
  if (!ok) failures.push(what);
}

// The picture in the page's canvas as a PNG file: a still's stays in its canvas; the show's is
// drawn again for Module.saveFrame, which hands over the picture's rectangle and show time.
function readCanvas(page, file, fromShow) {
  return page.evaluate((fromShow) => new Promise((resolve) => {
    const grab = (x, y, width, height, ms) => {
      const copy = document.createElement("canvas");
      copy.width = width;
      copy.height = height;
      copy.getContext("2d").drawImage(Module.canvas, x, y, width, height, 0, 0, width, height);
      resolve({ms, png: copy.toDataURL("image/png").split(",")[1]});
    };
    if (!fromShow) return grab(0, 0, Module.canvas.width, Module.canvas.height, Module.stillMs);
    let handed = false;
    Module.saveFrame = (...args) => { handed = true; grab(...args); };
    Module._web_save_frame();
    if (!handed) resolve({ms: -1, png: ""});
  }), fromShow).then(({ms, png}) => {
    if (!png) throw new Error("the page handed over no frame to save");
    fs.writeFileSync(file, Buffer.from(png, "base64"));
    return ms;
  });
}

async function still(browser, address, ms, device, file) {
  const page = await browser.newPage({device});
  await page.goto(`${address}?t=${ms}`);
  await page.waitFor(() => document.documentElement.dataset.state === "ready", [], 120000);
  await readCanvas(page, file, false);
  await page.close();
}

function samePicture(a, b, what, failures) {
  const c = compare(readPng(a), readPng(b), BLOCK, THRESHOLD);
  check(c.overShare === 0 && c.meanDiff < MEAN,
        `${what}: ${(100 * c.overShare).toFixed(3)}% of blocks differ, mean difference ${c.meanDiff.toFixed(3)}`,
        failures);
}

// The context lost in the credits at 1.5 device pixels a CSS pixel, where the text comes from a
// finer glyph atlas made on demand, and given back: the picture and the music stop and go on
// from the same moment, and the frame then on screen is the still of its moment.
async function lostContext(browser, address, work, failures) {
  const device = {width: 1024, height: 768, deviceScaleFactor: 1.5};
  const page = await browser.newPage({device});
  await page.goto(address);
  await page.waitFor(() => window.Module && Module.readyAt > 0);
  await page.click(512, 384);
  await page.waitFor(() => Module.framesDrawn > 0);
  await page.evaluate(() => Module._web_jump(3000 - Module._web_time()));
  await page.waitFor(() => Module._web_time() > 4000, [], 120000);
  await page.evaluate(recordStarts);
  await page.evaluate(() => {
    window.loseContext = Module.canvas.getContext("webgl2").getExtension("WEBGL_lose_context");
    window.loseContext.loseContext();
  });
  await page.waitFor(() => Module.audioState().clock === "stopped", [], 60000).catch(() => {});
  const held = await page.evaluate(() => ({show: Module._web_time(), frames: Module.framesDrawn}));
  await sleep(1000);
  const lost = await page.evaluate(() => ({show: Module._web_time(), frames: Module.framesDrawn,
                                           audio: Module.audioState()}));
  check(lost.show === held.show && lost.frames === held.frames && !lost.audio.playing,
        `lost: show time stays at ${lost.show} ms, ${lost.frames - held.frames} frames drawn, music ` +
        `${lost.audio.playing ? "on" : "off"}`, failures);

  // Given back, the show and the music go on from where they stood (the music may take a while
  // to be heard on a busy machine, the clock standing meanwhile).
  await page.evaluate(() => window.loseContext.restoreContext());
  await page.waitFor((n) => Module.framesDrawn > n + 10, [lost.frames]);
  await page.waitFor(() => Module.audioState().anchor !== null, [], 120000).catch(() => {});
  const back = await page.evaluate(() => ({show: Module._web_time(), audio: Module.audioState(), starts}));
  const ahead = back.show - back.audio.positionMs;
  check(back.starts.join() === String(lost.show) && back.show >= lost.show && back.audio.playing &&
        ahead > -20 && ahead < 1000,
        `restored: the music's clock started at ${back.starts.join(", ")} ms (held at ${lost.show} ms); ` +
        `show at ${back.show} ms, music at ${back.audio.positionMs.toFixed(0)} ms`, failures);

  await page.press("Space");
  await page.waitFor(() => Module.audioState().clock === "stopped", [], 60000).catch(() => {});
  const shown = await page.evaluate(() => Module.lastTime);
  const played = path.join(work, "restored.png");
  await readCanvas(page, played, true);
  const glErrors = await page.evaluate(() => Module.glErrors);
  const problems = await page.problems();
  check(glErrors === 0 && problems.length === 0, `${glErrors} GL errors ${problems.join("; ")}`, failures);
  await page.close();
  const expected = path.join(work, "still.png");
  await still(browser, address, shown, device, expected);
  samePicture(played, expected, `the last frame after the restore against the still of its ${shown} ms`,
              failures);
}

// A still of a scene that carries state, opened at 1024x768 and then shown at 800x600, against
// the still opened at 800x600.
async function resizedStill(browser, address, work, failures) {
  const ms = 52000;
  const page = await browser.newPage();
  await page.goto(`${address}?t=${ms}`);
  await page.waitFor(() => document.documentElement.dataset.state === "ready", [], 120000);
  await page.evaluate(() => {
    Module.canvas.style.width = "800px";
    Module.canvas.style.height = "600px";
    dispatchEvent(new Event("resize"));
  });
  await page.waitFor(() => Module.canvas.width === 800 && Module.canvas.height === 600);
  const buffer = await page.evaluate(() => {
    const gl = Module.canvas.getContext("webgl2");
    return [gl.drawingBufferWidth, gl.drawingBufferHeight];
  });
  const resized = path.join(work, "resized.png");
  await readCanvas(page, resized, false);
  const glErrors = await page.evaluate(() => Module.glErrors);
  const problems = await page.problems();
  await page.close();
  check(buffer[0] === 800 && buffer[1] === 600 && glErrors === 0 && problems.length === 0,
        `resized still: drawing buffer ${buffer.join("x")}, ${glErrors} GL errors ${problems.join("; ")}`,
        failures);
  const expected = path.join(work, "still-800.png");
  await still(browser, address, ms, {width: 800, height: 600, deviceScaleFactor: 1}, expected);
  samePicture(resized, expected, `the still at ${ms} ms resized against the one opened at 800x600`, failures);
}

async function main() {
  const [dir] = process.argv.slice(2);
  if (!dir || !fs.existsSync(path.join(dir, "index.html"))) {
    console.error(`gpu_test: no page in ${dir}: run ./scripts/build-web first`);
    process.exit(1);
  }
  const failures = [];
  const work = fs.mkdtempSync(path.join(os.tmpdir(), "web-gpu-"));
  const server = await serve(dir);
  const browser = await launch("chromium");
  try {
    await lostContext(browser, server.address, work, failures);
    await resizedStill(browser, server.address, work, failures);
  } finally {
    await browser.close();
    server.stop();
  }
  if (failures.length > 0) {
    console.log("pictures kept in " + work);
    console.error(`${failures.length} failed`);
    process.exit(1);
  }
  fs.rmSync(work, {recursive: true});
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
