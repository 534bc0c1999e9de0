// The page around the show: loads the program and the soundtrack, starts both on the viewer's
// first click or key, plays the music through Web Audio as the show's clock, and passes Space,
// the arrows, F and double-clicks on. index.html?t=MS draws the still at show time MS instead.
"use strict";
(function () {
  const message = document.getElementById("message");
  const canvas = document.getElementById("canvas");
  const params = new URLSearchParams(location.search);
  const stillMs = params.has("t") ? Math.max(0, parseInt(params.get("t"), 10) || 0) : -1;
  const startMs = Math.max(0, parseInt(params.get("start"), 10) || 0);
  const MUSIC = "music.opus";
  let failed = false, showReady = false, clicked = false, started = false;
  let audio = null, soundtrack = null;

  // One line on the page says what went wrong; the show stops there.
  function fail(text) {
    if (failed) return;
    failed = true;
    message.textContent = text;
    message.className = "error";
    canvas.style.visibility = "hidden";
    document.title = "error";
  }

  async function fetchFile(name) {
    let response;
    try {
      response = await fetch(name);
    } catch (e) {
      throw new Error("Could not load " + name + " (serve this folder from a web server).");
    }
    if (!response.ok)
      throw new Error("Could not load " + name + ": " + response.status + " " + response.statusText + ".");
    return response.arrayBuffer();
  }

  // The music's clock: the context time now reaching the speakers (behind the time the audio
  // thread schedules at by the output's latency), smoothed between the thread's updates by the
  // page's own clock.
  function audioNow() {
    const stamp = audio.getOutputTimestamp ? audio.getOutputTimestamp() : null;
    if (stamp && stamp.contextTime > 0)
      return stamp.contextTime + Math.max(0, performance.now() - stamp.performanceTime) / 1000;
    return audio.currentTime;
  }

  const music = {
    source: null, startedAt: 0, offsetMs: 0,
    start(ms) {
      this.stop();
      // The music starts at the context's current time and the picture moves when that time
      // is heard, so that a slow output delays both alike.
      this.startedAt = audio.currentTime;
      this.offsetMs = ms;
      const offset = ms / 1000;
      if (offset < soundtrack.duration) {
        this.source = audio.createBufferSource();
        this.source.buffer = soundtrack;
        this.source.connect(audio.destination);
        this.source.start(this.startedAt, offset);
      }
    },
    stop() {
      if (this.source) {
        this.source.stop();
        this.source.disconnect();
        this.source = null;
      }
    },
    elapsedMs() { return Math.max(0, Math.round((audioNow() - this.startedAt) * 1000)); },
  };

  // Where the music stands, for the tests.
  function audioState() {
    return {state: audio ? audio.state : "none", playing: music.source !== null,
            contextMs: audio ? audio.currentTime * 1000 : 0,
            positionMs: music.offsetMs + music.elapsedMs()};
  }

  function start() {
    if (started || failed || !showReady || !soundtrack || !clicked) return;
    started = true;
    message.textContent = "";
    canvas.style.visibility = "visible";
    Module._web_start(startMs);
  }

  function onGesture() {
    if (clicked || failed) return;
    clicked = true;
    message.textContent = "loading…";
    audio.resume();
    start();
  }

  function toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(() => {});
  }

  window.Module = {
    canvas: canvas,
    stillMs: stillMs,
    glErrors: 0,
    framesDrawn: 0,
    lastTime: -1,
    music: music,
    fail: fail,
    audioState: audioState,
    showIsReady: false,
    showReady() { showReady = true; this.showIsReady = true; start(); },
    stillDrawn() {
      canvas.style.visibility = "visible";
      requestAnimationFrame(() => requestAnimationFrame(() => { document.title = "ready"; }));
    },
    frameDrawn(time) {
      if (this.framesDrawn++ === 0) this.firstFrameAt = performance.now();
      this.lastTime = time;
    },
    glError(code) {
      this.glErrors++;
      console.error("GL error 0x" + code.toString(16));
    },
    print(text) { console.log(text); },
    printErr(text) { console.warn(text); },
    onAbort(what) { fail("The demo stopped: " + what); },
    // The program's code is fetched here, so that a missing file is named on the page.
    instantiateWasm(imports, done) {
      fetchFile("quenrastilan.wasm")
        .then((bytes) => WebAssembly.instantiate(bytes, imports))
        .then((result) => done(result.instance, result.module))
        .catch((e) => fail(e.message));
      return {};
    },
  };

  if (stillMs < 0) {
    message.textContent = "click to start";
    const AudioContext = window.AudioContext || window.webkitAudioContext;
    if (!AudioContext) {
      fail("This browser cannot play the music: it has no Web Audio.");
    } else {
      audio = new AudioContext();
      fetchFile(MUSIC)
        .then((bytes) => audio.decodeAudioData(bytes).catch(() => {
          throw new Error("This browser cannot decode " + MUSIC + ".");
        }))
        .then((buffer) => { soundtrack = buffer; start(); })
        .catch((e) => fail(e.message));
    }
    window.addEventListener("click", onGesture);
    window.addEventListener("dblclick", () => { if (started) toggleFullScreen(); });
    window.addEventListener("keydown", (e) => {
      if (e.ctrlKey || e.altKey || e.metaKey) return;
      if (!started) {
        onGesture();
        return;
      }
      if (e.code === "Space") Module._web_toggle_pause();
      else if (e.code === "ArrowLeft") Module._web_jump(-10000);
      else if (e.code === "ArrowRight") Module._web_jump(10000);
      else if (e.code === "KeyF") toggleFullScreen();
      else return;
      e.preventDefault();
    });
  }

  const script = document.createElement("script");
  script.src = "quenrastilan.js";
  script.onerror = () => fail("Could not load quenrastilan.js.");
  document.body.appendChild(script);
})();
