// The web page's figures beside the native player's, per scene, in one run on one machine:
// the page's frames per second and its main thread's median milliseconds per animation-frame
// callback in a browser engine (headless Chromium by default, WebGL on the CPU through
// SwiftShader; firefox or webkit in a window under Xvfb, on llvmpipe), played from the scene's
// first millisecond; the native player's frames per second over the same stretch of show, swap
// timed in a 1024x768 window under Xvfb (quenrastilan-bench --playback window); and the frame
// rate of an empty page of the same size, the ceiling the engine's own compositing sets.
//   node bench/web_fps.js build-web build/quenrastilan-bench [ENGINE] [SECONDS]
// Run from the source folder after ./scripts/build-web, ./scripts/build and the browser driver's
// npm ci (tools/browser); SECONDS of each scene are played (default 5). The scenes and their
// times come from the player (quenrastilan --list-scenes, beside the benchmark). A GPU does far
// better than either software renderer.
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");
const {execFileSync} = require("child_process");
const {serve, launch, sleep} = require("../tools/browser/browser.js");

// Times every animation-frame callback the page's own code asks for from here on.
function timeAnimationFrames() {
  const request = window.requestAnimationFrame.bind(window);
  window.callbackMs = [];
  window.requestAnimationFrame = (callback) => request((t) => {
    const start = performance.now();
    callback(t);
    window.callbackMs.push(performance.now() - start);
  });
}

// A page the size of the show's that clears a WebGL 2 canvas of the show's kind every frame.
const EMPTY_PAGE = `<!doctype html><html><head><style>html, body { margin: 0; height: 100%; overflow: hidden; }
canvas { display: block; width: 100vw; height: 100vh; }</style></head><body><canvas></canvas><script>
const canvas = document.querySelector("canvas");
const gl = canvas.getContext("webgl2", {alpha: false, depth: true, antialias: false, premultipliedAlpha: false});
window.frames = 0;
function frame() {
  canvas.width = canvas.clientWidth * devicePixelRatio;
  canvas.height = canvas.clientHeight * devicePixelRatio;
  gl.clearColor(1, 1, 1, 1);
  gl.clear(gl.COLOR_BUFFER_BIT);
  window.frames++;
  requestAnimationFrame(frame);
}
requestAnimationFrame(frame);
</script></body></html>`;

function median(values) {
  const sorted = values.slice().sort((a, b) => a - b);
  return sorted.length ? sorted[Math.floor(sorted.length / 2)] : NaN;
}

function listScenes(player) {
  return execFileSync(player, ["--list-scenes"], {encoding: "utf8"}).trim().split("\n").map((line) => {
    const [name, first, last] = line.split(/\s+/);
    return {name, first: Number(first), last: Number(last)};
  });
}

async function emptyPageFps(browser, seconds) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), "web-empty-"));
  fs.writeFileSync(path.join(dir, "index.html"), EMPTY_PAGE);
  const server = await serve(dir);
  const page = await browser.newPage();
  try {
    await page.goto(server.address);
    await sleep(1000);
    const a = await page.evaluate(() => [window.frames, performance.now()]);
    await sleep(seconds * 1000);
    const b = await page.evaluate(() => [window.frames, performance.now()]);
    return (b[0] - a[0]) / ((b[1] - a[1]) / 1000);
  } finally {
    await page.close();
    server.stop();
    fs.rmSync(dir, {recursive: true});
  }
}

// Plays each scene from its first millisecond for `seconds`: frames per second and the median
// callback time.
async function webFigures(browser, address, scenes, seconds) {
  const page = await browser.newPage();
  await page.goto(address);
  await page.evaluate(timeAnimationFrames);
  await page.waitFor(() => window.Module && Module.readyAt > 0, [], 120000);
  await page.click(512, 384);
  await page.waitFor(() => Module.framesDrawn > 0, [], 60000);
  const [ready, clicked, first] = await page.evaluate(() => [Module.readyAt, Module.clickedAt, Module.firstFrameAt]);
  console.log(`load to ready (click to start): ${ready.toFixed(0)} ms; click to first frame: ` +
              `${(first - clicked).toFixed(0)} ms`);
  const figures = [];
  for (const scene of scenes) {
    const a = await page.evaluate((to) => {
      Module._web_jump(to - Module._web_time());
      window.callbackMs = [];
      return [Module.framesDrawn, performance.now()];
    }, scene.first);
    await sleep(seconds * 1000);
    const b = await page.evaluate(() => [Module.framesDrawn, performance.now(), window.callbackMs, Module.glErrors]);
    figures.push({fps: (b[0] - a[0]) / ((b[1] - a[1]) / 1000), callbackMs: median(b[2]), glErrors: b[3]});
  }
  await page.close();
  return figures;
}

function nativeFps(bench, scene, seconds) {
  const json = path.join(fs.mkdtempSync(path.join(os.tmpdir(), "web-fps-")), "playback.json");
  execFileSync(bench, ["--playback", "window", "--from", String(scene.first), "--to",
                       String(scene.first + seconds * 1000), "--json", json], {stdio: ["ignore", "ignore", "inherit"]});
  const run = JSON.parse(fs.readFileSync(json, "utf8")).playback[0];
  fs.rmSync(path.dirname(json), {recursive: true});
  return run.scenes[scene.name] ? run.scenes[scene.name].mean_fps : NaN;
}

async function main() {
  const [dir, bench, engine = "chromium", secondsArg] = process.argv.slice(2);
  if (!dir || !bench) {
    console.error("usage: node bench/web_fps.js PAGE_DIR QUENRASTILAN_BENCH [ENGINE] [SECONDS]");
    process.exit(2);
  }
  const seconds = Number(secondsArg || 5);
  const scenes = listScenes(path.join(path.dirname(bench), "quenrastilan"));
  const load = () => os.loadavg().map((l) => l.toFixed(2)).join(" ");
  console.log(`${engine}, ${new Date().toISOString()}, ${os.cpus().length} cores, load ${load()}`);

  const server = await serve(dir);
  const browser = await launch(engine);
  let ceiling, web;
  try {
    ceiling = await emptyPageFps(browser, seconds);
    web = await webFigures(browser, server.address, scenes, seconds);
  } finally {
    // The browser is closed before the player runs, so that neither slows the other.
    await browser.close();
    server.stop();
  }
  const native = scenes.map((scene) => nativeFps(bench, scene, seconds));

  console.log(`empty page of 1024x768: ${ceiling.toFixed(1)} fps (the engine's ceiling)`);
  console.log("scene      web fps  web ms/callback  native fps  web/native");
  scenes.forEach((scene, i) => {
    const w = web[i];
    console.log(`${scene.name.padEnd(10)} ${w.fps.toFixed(1).padStart(7)} ${w.callbackMs.toFixed(1).padStart(16)} ` +
                `${native[i].toFixed(1).padStart(11)} ${(w.fps / native[i]).toFixed(2).padStart(11)}`);
  });
  const errors = web[web.length - 1].glErrors;
  if (errors > 0) console.log(`${errors} GL errors in the page`);
  console.log(`load at the end ${load()}`);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
