// The page for every viewer, in headless Chromium, served with a strict Content-Security-Policy
// (no inline script or style; scripts only the page's own and WebAssembly):
//   node a11y_test.js PAGE_DIR
// It plays there. axe-core (its target-size rule on) finds nothing before the click, playing
// with the bar, paused with the chapters' list open, and on a phone after a tap. The keyboard
// alone: Tab shows the bar, focus stays on a control while the bar would hide, the seek bar
// steps 10 s and a scene and says so, Escape hides the bar and Tab brings it back. Contrast is
// measured from screenshots over the show's whitest and darkest moments: the bar's words 4.5:1,
// its marks, icons and focus ring 3:1 against what is behind them. A stricter policy that stops
// the program is named in one line. The page validates (the Nu Html Checker).
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");
const {execFileSync} = require("child_process");
const {PHONE, serveFaulty, launch, sleep, check, run, packageFile} = require("../../tools/browser/browser.js");
const {readPng} = require("../../tools/browser/png.js");

const POLICY = "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; img-src 'self' data:";
// The show's whitest moment behind the bar (the Newton fractal between its fractals) and its
// darkest (the converging flow's red burst), from the native frames' lowest 64 rows once a second.
const WHITEST_MS = 80000, DARKEST_MS = 160000;
const AXE = fs.readFileSync(packageFile("axe-core/axe.min.js"), "utf8");

// axe-core's violations on the page as it stands, as "rule: target" lines.
async function axe(page) {
  await page.evaluate(AXE);
  const found = await page.evaluate(async () => {
    const result = await window.axe.run(document, {rules: {"target-size": {enabled: true}}});
    return result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`);
  });
  return found;
}

async function start(page, address, touch) {
  await page.goto(address);
  await page.waitFor(() => document.documentElement.dataset.state === "ready", [], 60000);
  await (touch ? page.tap(200, 300) : page.click(500, 300));
  await page.waitFor(() => Module.framesDrawn > 5 && document.getElementById("controls"));
}

// WCAG's contrast ratio of two sRGB colours.
function contrast(a, b) {
  const lum = ([r, g, bl]) => [r, g, bl].map((c) => {
    const v = c / 255;
    return v <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4);
  }).reduce((sum, v, i) => sum + v * [0.2126, 0.7152, 0.0722][i], 0);
  const [x, y] = [lum(a), lum(b)].sort((p, q) => q - p);
  return (x + 0.05) / (y + 0.05);
}

// Two screenshots of the paused page, with the thing and without it (`style` added to the
// element at `selector`, and taken off again): the pixels that differ are the thing. Its colour is
// the pixel that differs most; the lowest contrast is against the darkest and the lightest of what
// lies behind. For a focus ring, which has two colours, the ring's pixels against the same pixels
// unfocused (`ring`): the contrast most of the ring reaches (its 75th percentile).
async function measure(page, work, selector, style, ring = false) {
  const a = path.join(work, "a.png"), b = path.join(work, "b.png");
  await page.screenshot(a);
  const before = await page.evaluate((selector, style) => {
    const element = document.querySelector(selector), before = element.style.cssText;
    element.style.cssText += ";" + style;
    return new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(() => resolve(before))));
  }, selector, style);
  await page.screenshot(b);
  await page.evaluate((selector, before) => { document.querySelector(selector).style.cssText = before; }, selector, before);
  const [A, B] = [readPng(a), readPng(b)];
  const at = (image, i) => [image.rgb[3 * i], image.rgb[3 * i + 1], image.rgb[3 * i + 2]];
  const changed = [];
  for (let i = 0; i < A.width * A.height; i++) {
    const d = Math.abs(A.rgb[3 * i] - B.rgb[3 * i]) + Math.abs(A.rgb[3 * i + 1] - B.rgb[3 * i + 1]) +
              Math.abs(A.rgb[3 * i + 2] - B.rgb[3 * i + 2]);
    if (d > 0) changed.push([i, d]);
  }
  if (changed.length === 0) return 0;
  if (ring) {
    const ratios = changed.map(([i]) => contrast(at(A, i), at(B, i))).sort((p, q) => p - q);
    return ratios[Math.floor(ratios.length * 0.75)];
  }
  const core = at(A, changed.reduce((m, c) => (c[1] > m[1] ? c : m))[0]);
  return Math.min(...changed.map(([i]) => contrast(core, at(B, i))));
}

// The bar's parts, the style that takes each away, and the contrast each needs: words 4.5:1,
// marks and icons 3:1. The feedback is the line the link's button brings up.
const PARTS = [["the time", ".time", "visibility: hidden", 4.5], ["a chapter mark", ".tick", "visibility: hidden", 3],
               ["an icon", ".play", "visibility: hidden", 3], ["the feedback", ".feedback", "color: transparent", 4.5]];

// The bar's parts and its focus ring over the moment ms, paused there.
async function contrasts(browser, address, ms, work) {
  const page = await browser.newPage();
  await start(page, `${address}?start=${ms}`, false);
  await page.press("KeyK");
  await page.waitFor(() => !Module._web_playing());
  await page.page.mouse.move(300, 200);
  const found = [];
  for (const [what, selector, style, needs] of PARTS) {
    if (selector === ".feedback") {
      await page.evaluate(() => document.querySelector("#controls .link").click());
      await page.waitFor(() => document.querySelector("#controls .feedback").textContent !== "");
    }
    found.push([what, await measure(page, work, "#controls " + selector, style), needs]);
  }
  // The keyboard's focus on the play button: Tab from the picture.
  await page.evaluate(() => document.getElementById("canvas").focus());
  await page.press("Tab");
  const focused = await page.evaluate(() => document.activeElement.matches("#controls .play:focus-visible"));
  found.push(["the focus ring", focused ? await measure(page, work, "#controls .play", "outline: none; box-shadow: none", true) : 0, 3]);
  check(found.every(([, ratio, needs]) => ratio >= needs),
        `over ${ms} ms: ${found.map(([what, ratio]) => `${what} ${ratio.toFixed(1)}:1`).join(", ")}`);
  await page.close();
}

// Only the keyboard, from the picture's focus: Tab, waiting, the seek bar's keys, Escape, Tab.
// Leaves the show paused.
async function keyboard(page) {
  const look = () => page.evaluate(() => {
    const bar = document.getElementById("controls"), focus = document.activeElement;
    return {shown: bar.classList.contains("shown"), focus: focus.classList[0] || focus.id || focus.type,
            ms: Module._web_time(), spoken: bar.querySelector("input").getAttribute("aria-valuetext")};
  });
  await page.evaluate(() => document.getElementById("canvas").focus());
  await page.press("Tab");
  const tabbed = await look();
  await page.press("Tab");
  await sleep(4000);
  const waited = await look();
  check(tabbed.shown && tabbed.focus === "play" && waited.shown && waited.focus === "range",
        `Tab shows the bar, focus on ${tabbed.focus}; 4 s after the next Tab the bar still shows (${waited.shown}), ` +
        `focus on the ${waited.focus}`);
  await page.press("KeyK");
  const from = (await look()).ms;
  const starts = (await page.evaluate(() => Module.UTF8ToString(Module._web_scenes()))).trim().split("\n")
    .map((line) => Number(line.split(" ")[1]));
  const end = await page.evaluate(() => Module._web_end());
  const expected = [from + 10000, from + 20000, from + 10000, starts.find((s) => s > from + 10000), end, Math.floor(end / 2), 0];
  const steps = [];
  for (const key of ["ArrowRight", "KeyL", "KeyJ", "PageUp", "End", "Digit5", "Home"]) {
    await page.press(key);
    steps.push(await look());
  }
  const spokenChanges = steps.every((s, i) => s.spoken !== (i ? steps[i - 1].spoken : waited.spoken));
  check(steps.map((s) => s.ms).join() === expected.join() && spokenChanges,
        `paused by K on the seek bar at ${from} ms: Right, L, J, Page Up, End, 5, Home go to ` +
        `${steps.map((s) => s.ms).join(", ")} ms, saying "${steps[0].spoken}" ... "${steps[6].spoken}"`);
  await page.press("Escape");
  const escaped = await look();
  await page.press("Tab");
  const back = await look();
  check(!escaped.shown && escaped.focus === "canvas" && back.shown && back.focus === "play",
        `Escape hides the bar, focus on the ${escaped.focus}; Tab shows it again, focus on ${back.focus}`);
}

async function main() {
  const [dir] = process.argv.slice(2);
  const server = await serveFaulty(dir, {}, {headers: {"Content-Security-Policy": POLICY}});
  const work = fs.mkdtempSync(path.join(os.tmpdir(), "web-a11y-"));
  const browser = await launch("chromium");
  try {
    const page = await browser.newPage();
    await page.goto(server.address + "?start=95000");
    await page.waitFor(() => document.documentElement.dataset.state === "ready", [], 60000).catch(() => {});
    const before = await axe(page);
    await page.click(500, 300);
    await page.waitFor(() => Module.framesDrawn > 30, [], 30000).catch(() => {});
    const played = await page.evaluate(() => [document.documentElement.dataset.state, document.title, Module._web_time(),
                                              document.getElementById("scene-now").textContent]);
    check(played[0] === "playing" && played[1] === "Quenrastilan" && played[2] > 95000 && played[3] === "Lorenz attractor",
          `under "${POLICY}" the page plays: ${played.join(", ")}`);
    await page.page.mouse.move(400, 300);
    const playing = await axe(page);
    await keyboard(page);
    await page.evaluate(() => document.querySelector("#controls .list").click());
    const paused = await axe(page);
    check((await page.problems()).length === 0, `no exception or console error ${await page.problems()}`);
    await page.close();

    const phone = await browser.newPage({device: PHONE});
    await start(phone, server.address, true);
    await phone.tap(200, 300);
    const tapped = await axe(phone);
    await phone.close();
    for (const [what, found] of Object.entries({"before the click": before, "playing with the bar": playing,
                                                "paused with the chapters' list": paused, "on a phone after a tap": tapped}))
      check(found.length === 0, `axe ${what}: ${found.length ? found.join("; ") : "no violation"}`);

    for (const ms of [WHITEST_MS, DARKEST_MS]) await contrasts(browser, server.address, ms, work);

    // A policy that keeps the program from running: one line says so, at once.
    const stricter = await serveFaulty(dir, {}, {headers: {"Content-Security-Policy": "default-src 'self'"}});
    const blocked = await browser.newPage();
    await blocked.goto(stricter.address);
    await blocked.waitFor(() => document.documentElement.dataset.state === "error", [], 60000).catch(() => {});
    const said = await blocked.evaluate(() => document.getElementById("message").textContent);
    check(/^The server's Content-Security-Policy .*quenrastilan\.wasm.*'wasm-unsafe-eval'/.test(said),
          `under "default-src 'self'" the page says "${said}"`);
    stricter.stop();
  } finally {
    await browser.close();
    server.stop();
  }

  // The Nu Html Checker on the page and its style sheets: nothing to say.
  const vnu = packageFile("vnu-jar/build/dist/vnu.jar");
  let said = "";
  try {
    execFileSync("java", ["-jar", vnu, "--also-check-css", ...["index.html", "page.css", "controls.css"].map((f) => path.join(dir, f))],
                 {stdio: "pipe"});
  } catch (e) {
    said = String(e.stderr || e.message).trim();
  }
  check(said === "", `the Nu Html Checker: ${said || "valid"}`);

  fs.rmSync(work, {recursive: true});
}

run(main);
