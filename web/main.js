// The page around the show: loads the program and the soundtrack with their progress on the
// page, says "click to start", and on the viewer's first click or key starts picture and music
// together. Module is the program's interface to the page (src/frame/web/main.cpp calls it).
// index.html?start=MS plays from show time MS; index.html?t=MS draws the still at MS instead.
import {say, fail, hasFailed, setState, showPicture} from "./status.js";
import {Progress, progressLine, startProgram} from "./load.js";
import {MusicClock} from "./music.js";
import {Show} from "./show.js";
import {bindControls} from "./controls.js";
import {stillTime, stillDrawn} from "./still.js";
import {keepOffline} from "./offline.js";
import {saveFrame} from "./frame.js";

// After the first click the show waits this long at most for the browser to start the audio
// output; without it, the show plays silently and the music joins when it can.
const UNLOCK_WAIT_MS = 1000;

const params = new URLSearchParams(location.search);
// A phone or tablet: a finger, not a mouse, points.
const touchScreen = matchMedia("(pointer: coarse)").matches;
// A touch screen draws no more pixels than a 1440x1080 picture, however dense its pixels.
const MOST_TOUCH_PIXELS = 1440 * 1080;
const stillMs = stillTime(params);
const startMs = Math.max(0, parseInt(params.get("start"), 10) || 0);
const clock = new MusicClock();

const Module = window.Module = {
  canvas: document.getElementById("canvas"),
  stillMs,
  clock,
  glErrors: 0,
  framesDrawn: 0,
  // When the page said "click to start", was clicked, and drew its first frame (performance.now()).
  readyAt: 0,
  clickedAt: 0,
  firstFrameAt: 0,
  lastTime: -1,
  showIsReady: false,
  fail,
  stillDrawn,
  showReady() {
    this.showIsReady = true;
    ready();
  },
  frameDrawn(time) {
    if (this.framesDrawn++ === 0) this.firstFrameAt = performance.now();
    this.lastTime = time;
  },
  glError(code) {
    this.glErrors++;
    console.error("GL error 0x" + code.toString(16));
  },
  audioState: () => clock.state(),
  // The drawing buffer's device pixels a CSS pixel, for a canvas of cssWidth x cssHeight: the
  // screen's own, held down on a touch screen so that the picture keeps to MOST_TOUCH_PIXELS.
  pixelRatio(cssWidth, cssHeight) {
    const ratio = window.devicePixelRatio || 1;
    if (!touchScreen) return ratio;
    const w = Math.min(cssWidth, (cssHeight * 4) / 3), h = (w * 3) / 4;
    return Math.min(ratio, Math.sqrt(MOST_TOUCH_PIXELS / Math.max(1, w * h)));
  },
  saveFrame: (x, y, width, height, ms) => saveFrame(document.getElementById("canvas"), x, y, width, height, ms),
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
  onAbort: (what) => fail("The demo stopped: " + what),
};

// The loading line until everything the start waits for is here.
let loaded = false;
const progress = new Progress((bytes, total) => { if (!loaded) say(progressLine(bytes, total)); });

const show = new Show(Module);
let musicLoaded = false, unlocking = null;

// The show starts once the program runs, the soundtrack has loaded (or will not), and the
// viewer has clicked; whichever comes last starts it.
async function ready() {
  if (!Module.showIsReady || !musicLoaded || hasFailed()) return;
  loaded = true;
  if (!unlocking) {
    say(touchScreen ? "tap to start" : "click to start", {prompt: true});
    setState("ready");
    Module.readyAt = performance.now();
    return;
  }
  if (show.started) return;
  await unlocking;
  if (show.started) return;
  say("");
  showPicture();
  setState("playing");
  show.start(startMs);
  followVisibility();
}

function gesture() {
  // Browsers start sound only from within a click or key, so the output is asked for here.
  const asked = clock.unlock(UNLOCK_WAIT_MS);
  if (unlocking || hasFailed()) return;
  unlocking = asked;
  Module.clickedAt = performance.now();
  ready();
}

// Called at the start: the control bar, and the page's visibility followed from then on.
let followVisibility = () => {};
if (stillMs < 0) {
  followVisibility = bindControls(show, gesture);
  clock.load(progress, startMs).then(() => {
    musicLoaded = true;
    ready();
  });
}
startProgram(Module, progress).catch((e) => fail(e.message));
// A still is a moment shared by a link, not a visit to keep.
if (stillMs < 0) keepOffline();
