// Starts a browser engine and drives its pages through one small interface, and serves the page,
// for the web tests and the web benchmark. Engines: "chromium" (headless, WebGL through
// SwiftShader), "firefox" (over WebDriver BiDi) and "webkit" (WebKitGTK's MiniBrowser over W3C
// WebDriver), the last two in a real window under a private Xvfb, since without a GPU only a real
// X server gives them WebGL.
"use strict";
const fs = require("fs");
const http = require("http");
const net = require("net");
const path = require("path");
const {spawn} = require("child_process");
const puppeteer = require("puppeteer-core");

const ENGINES = ["chromium", "firefox", "webkit"];
const BINARY = {
  chromium: process.env.CHROMIUM || "/usr/bin/chromium",
  firefox: process.env.FIREFOX || "/usr/bin/firefox-esr",
  webkit: process.env.MINIBROWSER || "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser",
};
const WIDTH = 1024, HEIGHT = 768;
// A phone's screen for newPage({device}): 390x844 CSS pixels at three device pixels each, touch.
const PHONE = {width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true};
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The servers and X servers started here go with the process, however it ends its run.
const helpers = new Set();
process.on("exit", () => { for (const helper of helpers) helper.kill(); });
function start(command, args, options) {
  const child = spawn(command, args, options);
  helpers.add(child);
  child.on("exit", () => helpers.delete(child));
  return child;
}

function freePort() {
  return new Promise((resolve) => {
    const probe = net.createServer().listen(0, "127.0.0.1", () => {
      const port = probe.address().port;
      probe.close(() => resolve(port));
    });
  });
}

async function waitForServer(address, what) {
  for (let tries = 0; ; tries++) {
    try {
      await fetch(address);
      return;
    } catch (e) {
      if (tries > 100) throw new Error(what + " did not start");
    }
    await sleep(100);
  }
}

// Serves dir as the docs say, python3 -m http.server -d DIR, on a free local port. Resolves to
// the page's address and a function that stops the server.
async function serve(dir) {
  const port = await freePort();
  const server = start("python3", ["-m", "http.server", "--bind", "127.0.0.1", "-d", dir, String(port)],
                       {stdio: "ignore"});
  const address = `http://127.0.0.1:${port}/index.html`;
  await waitForServer(address, "the web server");
  return {address, stop() { server.kill(); }};
}

// Serves dir with faults, for the tests of what the page does when a file fails: `faults` maps a
// file's name to 404 (missing), "silent" (the request is taken and never answered), or a Buffer
// served in its place. With bytesPerSecond, every file is sent at that pace, as by a slow network.
// Nothing it serves is kept in the browser's cache, unless `cacheable`: then, as from a usual web
// server, files carry their time and a request that has it already is answered "not modified".
// sent() is how many bytes of files it has sent. `headers` are sent with every file.
async function serveFaulty(dir, faults = {}, {bytesPerSecond = 0, cacheable = false, headers = {}} = {}) {
  const sockets = new Set();
  let sent = 0;
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://x").pathname.slice(1)) || "index.html";
    const fault = faults[name];
    if (fault === "silent") return;
    const file = path.join(dir, name);
    if (fault === 404 || name.includes("..") || (!Buffer.isBuffer(fault) && !fs.existsSync(file))) {
      response.writeHead(404, "File not found");
      response.end();
      return;
    }
    const modified = Buffer.isBuffer(fault) ? "" : fs.statSync(file).mtime.toUTCString();
    if (cacheable && modified && request.headers["if-modified-since"] === modified) {
      response.writeHead(304);
      response.end();
      return;
    }
    const body = Buffer.isBuffer(fault) ? fault : fs.readFileSync(file);
    const type = {".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".json": "application/json",
                  ".wasm": "application/wasm", ".png": "image/png"}[path.extname(name)];
    response.writeHead(200, {"Content-Type": type || "application/octet-stream", "Content-Length": body.length,
                             ...(cacheable && modified ? {"Last-Modified": modified} : {"Cache-Control": "no-store"}),
                             ...headers});
    sent += body.length;
    if (!bytesPerSecond) return response.end(body);
    const step = Math.max(1, Math.round(bytesPerSecond / 20));
    const send = (at) => {
      if (at >= body.length) return response.end();
      response.write(body.subarray(at, at + step));
      setTimeout(send, 50, at + step);
    };
    send(0);
  });
  server.on("connection", (socket) => {
    sockets.add(socket);
    socket.on("close", () => sockets.delete(socket));
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return {address: `http://127.0.0.1:${server.address().port}/index.html`, sent: () => sent, stop() {
    for (const socket of sockets) socket.destroy();
    server.close();
  }};
}

// A private X server for the engines that need a real window; resolves to its display and a
// function that stops it.
async function startXvfb() {
  const xvfb = start("Xvfb", ["-displayfd", "3", "-screen", "0", "1600x1200x24", "-nolisten", "tcp"],
                     {stdio: ["ignore", "ignore", "ignore", "pipe"]});
  let number = "";
  await new Promise((resolve, reject) => {
    xvfb.on("exit", () => reject(new Error("Xvfb did not start")));
    xvfb.stdio[3].on("data", (data) => {
      number += data.toString();
      if (number.includes("\n")) resolve();
    });
  });
  xvfb.removeAllListeners("exit");
  return {display: ":" + number.trim(), stop() { xvfb.kill(); }};
}

// The driving interface every engine's page offers:
//   goto(url)                 loads url and resolves once it has loaded
//   evaluate(fn, ...args)     runs fn(...args) in the page, resolves to its (awaited) result
//   waitFor(fn, args, ms)     resolves once fn(...args) is true in the page, rejects after ms
//   press(key)                a key by its KeyboardEvent.code, e.g. "Space", "ArrowRight"
//   click(x, y)               a left click at a point of the viewport
//   screenshot(file)          the 1024x768 viewport as a PNG file
//   problems()                the exceptions and console errors seen so far
//   setHidden(hidden)         hides the page (behind another tab, or its window minimised) or
//                             shows it again
//   throttle(bytesPerSecond)  the network's speed (Chromium only; 0 lifts it)
//   tap(x, y)                 a finger's tap at a point of the viewport (Chromium only)
//   close()
// newPage({init}) runs the function `init` in every document before the page's own scripts
// (Chromium and Firefox only); newPage({device: {width, height, deviceScaleFactor, isMobile,
// hasTouch}}) emulates a phone's screen instead of the 1024x768 window (Chromium only).
class Page {
  async waitFor(fn, args = [], ms = 60000) {
    const until = Date.now() + ms;
    for (;;) {
      if (await this.evaluate(fn, ...args)) return;
      if (Date.now() > until) throw new Error(`timed out waiting for ${fn}`);
      await sleep(100);
    }
  }

  throttle() { throw new Error("network throttling needs the DevTools protocol (chromium)"); }
  tap() { throw new Error("touch needs the DevTools protocol (chromium)"); }
}

class PuppeteerPage extends Page {
  constructor(page, engine) {
    super();
    this.page = page;
    this.engine = engine;
    this.seen = [];
    page.on("pageerror", (e) => this.seen.push("exception: " + e.message));
    page.on("console", (m) => {
      if (m.type() === "error" && !/favicon/.test(m.location().url || ""))
        this.seen.push("console error: " + m.text());
    });
  }

  async goto(url) { await this.page.goto(url); }
  evaluate(fn, ...args) { return this.page.evaluate(fn, ...args); }
  // Puppeteer names keys by their value, which for Space is " " (its Firefox driver knows no other).
  press(key) { return this.page.keyboard.press(key === "Space" ? " " : key); }
  click(x, y) { return this.page.mouse.click(x, y); }
  tap(x, y) { return this.engine === "chromium" ? this.page.touchscreen.tap(x, y) : super.tap(); }
  async screenshot(file) { await this.page.screenshot({path: file}); }
  async problems() { return this.seen.slice(); }
  close() { return this.page.close(); }

  async setHidden(hidden) {
    if (hidden) {
      this.cover = await this.page.browser().newPage();
      await this.cover.bringToFront();
    } else if (this.cover) {
      await this.page.bringToFront();
      await this.cover.close();
      this.cover = null;
    }
  }

  throttle(bytesPerSecond) {
    if (this.engine !== "chromium") return super.throttle();
    return this.page.emulateNetworkConditions(
      bytesPerSecond ? {download: bytesPerSecond, upload: bytesPerSecond, latency: 20} : null);
  }
}

async function launchPuppeteer(engine) {
  let xvfb = null;
  let options;
  if (engine === "chromium") {
    options = {headless: true, args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
                                      "--autoplay-policy=user-gesture-required"]};
  } else {
    xvfb = await startXvfb();
    options = {browser: "firefox", headless: false, env: {...process.env, DISPLAY: xvfb.display}};
  }
  let browser;
  try {
    // The page's service worker is left to itself: puppeteer attached to it loses track of its
    // sessions once the browser stops the idle worker, and then opens no new page.
    browser = await puppeteer.launch({executablePath: BINARY[engine], ...options,
                                      targetFilter: (target) => target.type() !== "service_worker"});
  } catch (e) {
    if (xvfb) xvfb.stop();
    throw e;
  }
  return {
    engine,
    async newPage({init, device} = {}) {
      const page = await browser.newPage();
      await page.setViewport(device || {width: WIDTH, height: HEIGHT, deviceScaleFactor: 1});
      if (init) await page.evaluateOnNewDocument(init);
      return new PuppeteerPage(page, engine);
    },
    async close() {
      await browser.close();
      if (xvfb) xvfb.stop();
    },
  };
}

// W3C WebDriver over HTTP, as WebKitWebDriver speaks it. Its sessions have one window, so the
// engine's pages take turns: newPage waits until the page before is closed. KEYS: the keys the
// tests press in it, as WebDriver names them.
const KEYS = {Space: "\uE00D", ArrowRight: "\uE014"};

class WebDriverPage extends Page {
  constructor(session, rect, release) {
    super();
    this.session = session;
    this.rect = rect;
    this.release = release;
  }

  async goto(url) {
    await this.session("POST", "/url", {url});
    // Classic WebDriver has no console events: the page's errors from here on are kept in it.
    await this.evaluate(() => {
      window.__problems = [];
      addEventListener("error", (e) => __problems.push("exception: " + e.message));
      addEventListener("unhandledrejection", (e) => __problems.push("exception: " + e.reason));
      const error = console.error;
      console.error = (...a) => { __problems.push("console error: " + a.join(" ")); error.apply(console, a); };
    });
  }

  async evaluate(fn, ...args) {
    const script = `const done = arguments[arguments.length - 1];
      Promise.resolve().then(() => (${fn}).apply(null, ${JSON.stringify(args)}))
        .then((value) => done({value: value === undefined ? null : value}), (e) => done({error: String(e)}));`;
    const result = await this.session("POST", "/execute/async", {script, args: []});
    if (result.error) throw new Error("in the page: " + result.error);
    return result.value;
  }

  press(key) {
    const value = KEYS[key];
    if (!value) throw new Error("no WebDriver key for " + key);
    return this.session("POST", "/actions", {actions: [{type: "key", id: "keyboard", actions: [
      {type: "keyDown", value}, {type: "keyUp", value}]}]});
  }

  click(x, y) {
    return this.session("POST", "/actions", {actions: [{type: "pointer", id: "mouse",
      parameters: {pointerType: "mouse"}, actions: [{type: "pointerMove", x, y, origin: "viewport"},
        {type: "pointerDown", button: 0}, {type: "pointerUp", button: 0}]}]});
  }

  async screenshot(file) {
    fs.writeFileSync(file, Buffer.from(await this.session("GET", "/screenshot"), "base64"));
  }

  problems() { return this.evaluate(() => window.__problems || []); }

  // Without a window manager, a minimised window comes back when it is given a size.
  async setHidden(hidden) {
    if (hidden) await this.session("POST", "/window/minimize", {});
    else await this.session("POST", "/window/rect", this.rect);
  }

  async close() {
    await this.session("POST", "/url", {url: "about:blank"});
    this.release();
  }
}

async function launchWebKit() {
  const xvfb = await startXvfb();
  const port = await freePort();
  const driver = start("WebKitWebDriver", [`--port=${port}`, "--host=127.0.0.1"],
                       {stdio: "ignore", env: {...process.env, DISPLAY: xvfb.display}});
  const base = `http://127.0.0.1:${port}`;
  async function call(method, url, body) {
    const response = await fetch(base + url, {method, headers: {"Content-Type": "application/json"},
                                              body: body === undefined ? undefined : JSON.stringify(body)});
    const json = await response.json();
    if (!response.ok) throw new Error(`WebDriver ${method} ${url}: ${JSON.stringify(json.value)}`);
    return json.value;
  }
  let id;
  try {
    await waitForServer(base + "/status", "WebKitWebDriver");
    ({sessionId: id} = await call("POST", "/session", {capabilities: {alwaysMatch: {
      "webkitgtk:browserOptions": {binary: BINARY.webkit, args: ["--automation"]},
      timeouts: {script: 300000}}}}));
  } catch (e) {
    driver.kill();
    xvfb.stop();
    throw e;
  }
  const session = (method, url, body) => call(method, `/session/${id}${url}`, body);
  // The window's frame and toolbar take their share: the window is grown until the page's
  // viewport is 1024x768.
  await session("POST", "/window/rect", {x: 0, y: 0, width: WIDTH, height: HEIGHT});
  const [w, h] = (await session("POST", "/execute/sync", {script: "return [innerWidth, innerHeight]", args: []}));
  const rect = {x: 0, y: 0, width: 2 * WIDTH - w, height: 2 * HEIGHT - h};
  await session("POST", "/window/rect", rect);
  let turn = Promise.resolve();
  return {
    engine: "webkit",
    async newPage({init} = {}) {
      if (init) throw new Error("WebDriver runs no script before the page's own");
      let release;
      const mine = new Promise((resolve) => { release = resolve; });
      const before = turn;
      turn = turn.then(() => mine);
      await before;
      return new WebDriverPage(session, rect, release);
    },
    async close() {
      await session("DELETE", "").catch(() => {});
      driver.kill();
      xvfb.stop();
    },
  };
}

// The tests' checks: each prints what it found; run exits with 1 once one has failed.
let failed = 0;
function check(ok, what) {
  console.log((ok ? "ok   " : "FAIL ") + what);
  if (!ok) failed++;
}
const failedChecks = () => failed;

// Runs a test's main, and exits with 1 if it throws or a check failed.
function run(main) {
  main().then(() => {
    if (failed > 0) {
      console.error(`${failed} failed`);
      process.exit(1);
    }
  }, (e) => {
    console.error(e);
    process.exit(1);
  });
}

// Starts an engine, one of ENGINES; resolves to {engine, newPage(options), close()}.
function launch(engine = "chromium") {
  if (!ENGINES.includes(engine)) throw new Error(`no engine ${engine} (engines: ${ENGINES.join(", ")})`);
  return engine === "webkit" ? launchWebKit() : launchPuppeteer(engine);
}

// The path of a file in one of the npm packages installed beside this driver (its package.json
// lists them), for the scripts that use it from other folders: packageFile("axe-core/axe.min.js").
const packageFile = (name) => require.resolve(name);

module.exports = {ENGINES, PHONE, serve, serveFaulty, launch, sleep, check, failedChecks, run, packageFile};
