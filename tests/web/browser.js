// Serving the page and starting headless Chromium, for the web tests and the web benchmark.
"use strict";
const fs = require("fs");
const net = require("net");
const os = require("os");
const path = require("path");
const {spawn} = require("child_process");
const puppeteer = require("puppeteer-core");

const CHROMIUM = process.env.CHROMIUM || "/usr/bin/chromium";
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Serves dir as the README says, python3 -m http.server -d DIR, on a free local port; files
// named in `hidden` are left out of a copy of the folder, as if missing. Resolves to the
// page's address and a function that stops the server.
async function serve(dir, hidden = []) {
  let copy = null;
  if (hidden.length > 0) {
    copy = fs.mkdtempSync(path.join(os.tmpdir(), "web-page-"));
    for (const name of fs.readdirSync(dir))
      if (!hidden.includes(name)) fs.copyFileSync(path.join(dir, name), path.join(copy, name));
    dir = copy;
  }
  const port = await new Promise((resolve) => {
    const probe = net.createServer().listen(0, "127.0.0.1", () => {
      const p = probe.address().port;
      probe.close(() => resolve(p));
    });
  });
  const server = spawn("python3", ["-m", "http.server", "--bind", "127.0.0.1", "-d", dir, String(port)],
                       {stdio: "ignore"});
  const address = `http://127.0.0.1:${port}/index.html`;
  for (let tries = 0; ; tries++) {
    try {
      if ((await fetch(address)).ok) break;
    } catch (e) {
      if (tries > 100) throw new Error("the web server did not start");
    }
    await sleep(100);
  }
  return {address, stop() {
    server.kill();
    if (copy) fs.rmSync(copy, {recursive: true});
  }};
}

function launch() {
  return puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
           "--autoplay-policy=user-gesture-required"],
  });
}

module.exports = {serve, launch, sleep};
