// The page as something to keep and share, in headless Chromium: its preview tags and web app
// manifest name images that exist at the sizes they declare, and a page written for an address
// names its previews by their full addresses; after one visit, a second one plays
// with the server gone; and a new build's service worker replaces the old build's files whole.
//   node offline_test.js PAGE_DIR
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");
const {execFileSync} = require("child_process");
const {serve, launch, check, run} = require("../../tools/browser/browser.js");
const {readPng} = require("../../tools/browser/png.js");

// The width and height a PNG or ICO file holds (an ICO's first image, 0 meaning 256).
function imageSize(file) {
  if (file.endsWith(".ico")) {
    const b = fs.readFileSync(file);
    if (b.readUInt16LE(0) !== 0 || b.readUInt16LE(2) !== 1 || b.readUInt16LE(4) < 1) return null;
    return {width: b[6] || 256, height: b[7] || 256};
  }
  const {width, height} = readPng(file);
  return {width, height};
}

// A page's meta tags, as [key, content] pairs in their order.
const tagsIn = (html) => [...html.matchAll(/<meta (?:property|name)="([a-z:]+)" content="([^"]*)"/g)].map((m) => [m[1], m[2]]);
const tag = (tags, key) => tags.filter(([k]) => k === key).map(([, v]) => v);

async function tagsAndManifest(dir) {
  const html = fs.readFileSync(path.join(dir, "index.html"), "utf8");
  const tags = tagsIn(html);
  const images = tag(tags, "og:image"), [widths, heights] = [tag(tags, "og:image:width"), tag(tags, "og:image:height")];
  check((tag(tags, "description")[0] || "").length > 50 && tag(tags, "og:title")[0] === "Quenrastilan" &&
        tag(tags, "twitter:card")[0] === "summary_large_image" && tag(tags, "twitter:description")[0] &&
        images.length === 2 && tag(tags, "twitter:image")[0] === images[0] &&
        tag(tags, "og:image:alt").length === 2 && tag(tags, "twitter:image:alt")[0],
        "the page has a description, a title, a card and its two images with alt text for link previews");
  // The first image, the card's, at the 1.91:1 that link previews show.
  images.forEach((name, i) => {
    const file = path.join(dir, name), size = fs.existsSync(file) ? imageSize(file) : null;
    check(size && size.width === Number(widths[i]) && size.height === Number(heights[i]) &&
          (i > 0 || Math.abs(size.width / size.height - 1.91) < 0.01),
          `the preview image ${name} is ${size ? size.width + "x" + size.height : "missing"}, as its tags say`);
  });
  // Written for an address, the page names itself and its previews by their full addresses.
  const address = "https://example.org/quenrastilan";
  const work = fs.mkdtempSync(path.join(os.tmpdir(), "web-page-"));
  const said = execFileSync(path.join(__dirname, "../../scripts/web-page"), [address, work], {encoding: "utf8"});
  const full = tagsIn(fs.readFileSync(path.join(work, "index.html"), "utf8"));
  fs.rmSync(work, {recursive: true});
  const urls = [...tag(full, "og:image"), ...tag(full, "twitter:image")];
  check(said === "" && tag(full, "og:url")[0] === address + "/" &&
        urls.join() === [...images, images[0]].map((name) => `${address}/${name}`).join(),
        `for ${address}: og:url ${tag(full, "og:url")}, images ${urls.join(" ")}`);
  const icons = [...html.matchAll(/<link rel="(?:icon|apple-touch-icon)" href="([^"]+)"(?:[^>]*sizes="(\d+)x(\d+)")?/g)];
  const manifest = JSON.parse(fs.readFileSync(path.join(dir, html.match(/<link rel="manifest" href="([^"]+)"/)[1])));
  check(manifest.name === "Quenrastilan" && manifest.background_color === "#000000" &&
        manifest.orientation === "landscape" && fs.existsSync(path.join(dir, manifest.start_url)),
        `the manifest names the show, a black background, landscape and a page that exists`);
  const declared = icons.map((m) => [m[1], m[2], m[3]])
    .concat(manifest.icons.map((i) => [i.src, ...i.sizes.split("x")]));
  for (const [name, w, h] of declared) {
    const file = path.join(dir, name);
    const s = fs.existsSync(file) ? imageSize(file) : null;
    check(s && (!w || (s.width === Number(w) && s.height === Number(h))),
          `icon ${name}: ${s ? s.width + "x" + s.height : "missing"}${w ? ", declared " + w + "x" + h : ""}`);
  }
}

// Opens the page and waits until its service worker has taken every file in, the soundtrack's
// last piece included; resolves to the page, and whether a service worker served it.
async function visit(browser, address) {
  const page = await browser.newPage();
  await page.goto(address);
  await page.waitFor(async () => {
    await navigator.serviceWorker.ready;
    const [key] = await caches.keys();
    return key !== undefined && (await (await caches.open(key)).keys()).some((r) => /music\/024\./.test(r.url));
  });
  return {page, controlled: await page.evaluate(() => navigator.serviceWorker.controller !== null)};
}

async function offline(dir) {
  let server = await serve(dir);
  const browser = await launch("chromium");
  try {
    await (await visit(browser, server.address)).page.close();
    // The server goes; the same address is opened again, and the show starts and plays.
    const address = server.address;
    server.stop();
    server = null;
    const page = await browser.newPage();
    await page.goto(address);
    await page.waitFor(() => window.Module && Module.showIsReady && document.documentElement.dataset.state !== "error");
    await page.click(300, 300);
    await page.waitFor(() => Module.framesDrawn > 10);
    await page.waitFor(() => Module._web_time() > 1000 && Module.audioState().playing, [], 120000).catch(() => {});
    const state = await page.evaluate(() => ({time: Module._web_time(), audio: Module.audioState()}));
    const problems = await page.problems();
    check(problems.length === 0 && state.time > 1000 && state.audio.playing,
          `with the server gone the page plays: at ${state.time} ms, music ${state.audio.playing ? "on" : "off"} ` +
          problems.join("; "));
    await page.close();
  } finally {
    await browser.close();
    if (server) server.stop();
  }
}

// A new build (here: main.js changed and sw.js with it, as scripts/build-web writes them) is
// taken whole once the old build's page is closed, and the old build's files go.
async function newBuild(dir) {
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), "web-rebuild-"));
  fs.cpSync(dir, copy, {recursive: true});
  const server = await serve(copy);
  const browser = await launch("chromium");
  try {
    // The second visit is served by the first build's worker, which then has a page to wait for.
    await (await visit(browser, server.address)).page.close();
    let {page, controlled} = await visit(browser, server.address);
    fs.appendFileSync(path.join(copy, "main.js"), "\nwindow.buildMark = 2;\n");
    const sw = fs.readFileSync(path.join(copy, "sw.js"), "utf8").replace(/quenrastilan-([0-9a-f]+)/, "quenrastilan-$1b");
    fs.writeFileSync(path.join(copy, "sw.js"), sw);
    await page.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => r.update()));
    await page.waitFor(() => navigator.serviceWorker.getRegistration().then((r) => r.waiting !== null));
    const before = await page.evaluate(() => window.buildMark === undefined);
    await page.close();
    page = await browser.newPage();
    await page.goto(server.address);
    await page.waitFor(() => window.buildMark === 2, [], 120000).catch(() => {});
    const after = await page.evaluate(async () => ({mark: window.buildMark, caches: await caches.keys()}));
    check(controlled && before && after.mark === 2 && after.caches.length === 1 && after.caches[0].endsWith("b"),
          `a new build replaces the old: the new main.js served, caches ${after.caches.join(", ")}`);
  } finally {
    await browser.close();
    server.stop();
    fs.rmSync(copy, {recursive: true});
  }
}

async function main() {
  const [dir] = process.argv.slice(2);
  await tagsAndManifest(dir);
  await offline(dir);
  await newBuild(dir);
}

run(main);
