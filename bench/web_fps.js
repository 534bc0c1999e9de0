// The web page's figures: how long the page takes from loading to ready and from the click to
// its first frame, and the frames per second each scene plays at in a browser engine (headless
// Chromium by default, WebGL on the CPU through SwiftShader; firefox or webkit in a window under
// Xvfb, on llvmpipe), beside the native frame time of the same scene on llvmpipe
// (quenrastilan-bench --child llvmpipe, the median of five positions, at 1024x768).
//   node bench/web_fps.js build-web build/quenrastilan-bench [ENGINE]
// Run from the source folder after ./scripts/build-web and the web tests' npm install. A GPU
// does far better than either software renderer.
"use strict";
const {execFileSync} = require("child_process");
const {serve, launch, sleep} = require("../tests/web/browser.js");

// Each scene's first millisecond, from the scene table; played from two seconds in, for four.
const SCENES = [
  ["alku", 0], ["platon", 27000], ["pot2d", 40000], ["newton", 66000], ["lorentz", 94000],
  ["rossler", 106000], ["dla", 120000], ["cell", 132000], ["curves", 145000], ["converge", 159000],
  ["fibotree", 172000], ["iterator", 199000], ["field", 225000],
];

function nativeFps(bench, scene) {
  const out = execFileSync(bench, ["--child", "llvmpipe", "--only", scene, "--frames", "9"], {encoding: "utf8"});
  const ms = out.trim().split("\n").map((line) => parseFloat(line.split(" ")[2])).sort((a, b) => a - b);
  return 1000 / ms[Math.floor(ms.length / 2)];
}

async function main() {
  const [dir, bench, engine = "chromium"] = process.argv.slice(2);
  const server = await serve(dir);
  const browser = await launch(engine);
  const page = await browser.newPage();
  await page.goto(server.address);
  await page.waitFor(() => window.Module && Module.readyAt > 0, [], 120000);
  await page.click(512, 384);
  await page.waitFor(() => Module.framesDrawn > 0, [], 60000);
  const [ready, clicked, first] = await page.evaluate(() => [Module.readyAt, Module.clickedAt, Module.firstFrameAt]);
  console.log(`${engine}: load to ready (click to start): ${ready.toFixed(0)} ms; click to first frame: ` +
              `${(first - clicked).toFixed(0)} ms`);
  const web = [];
  for (const [, start] of SCENES) {
    await page.evaluate((to) => Module._web_jump(to - Module._web_time()), start + 2000);
    await sleep(300);
    const a = await page.evaluate(() => [Module.framesDrawn, performance.now()]);
    await sleep(4000);
    const b = await page.evaluate(() => [Module.framesDrawn, performance.now()]);
    web.push((b[0] - a[0]) / ((b[1] - a[1]) / 1000));
  }
  // The browser is closed before the native frames are timed, so that neither slows the other.
  await browser.close();
  server.stop();
  console.log("scene       web fps   native fps (llvmpipe)");
  SCENES.forEach(([scene], i) => {
    const native = bench ? nativeFps(bench, scene) : NaN;
    console.log(`${scene.padEnd(10)} ${web[i].toFixed(1).padStart(8)} ${native.toFixed(1).padStart(12)}`);
  });
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
