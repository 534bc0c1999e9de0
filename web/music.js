// The show's clock and its music, one object (MusicClock) since each follows the other. The
// soundtrack plays through Web Audio, and while it plays the clock is the music's: show time is the moment of the soundtrack now being heard, so picture and
// sound stay together whatever the output's delay. When there is no sound (no Web Audio, a
// soundtrack that did not load or decode, an audio output that does not start, stops or stands
// still) the clock runs on the page's own time, the picture plays on and a small line says why;
// once sound is possible again (a later click, a device plugged in) the music joins at the
// picture's moment.
//
// The program's show clock (pause, jumps, the ends) runs on it through Module.clock: start(ms)
// when show time starts running from ms (the first start, a resume, after a jump), stop() when
// it stands still (a pause, before a jump, the end), and elapsedMs(), the show time gone since
// start, once a frame. Whether the show is paused the program alone knows (Show.playing).
import {noSound} from "./status.js";
import {Soundtrack} from "./soundtrack.js";
import {keepSoundtrack} from "./offline.js";

// The soundtrack's rate, asked of the output so that its pieces decode without resampling.
const RATE = 48000;
// After a start, a resume or a jump the picture waits this long at most for the music's piece
// to be decoded (so that both start together); past it, it goes on silently until the piece is
// there.
const HOLD_MS = 2000;
// A context that says it runs but whose clock has not moved for this long has no working output.
const STUCK_MS = 1000;
// How often a silent clock looks whether sound has become possible.
const RETRY_MS = 1000;

const STOPPED = {
  suspended: "the browser has not started the audio output.",
  interrupted: "the audio output was interrupted.",
  closed: "the audio output was closed.",
};

export class MusicClock {
  constructor() {
    this.context = null;
    this.soundtrack = null;
    this.failure = "";         // why there can be no sound at all; "" while there may be
    this.running = false;      // show time runs: between start and stop
    this.startMs = 0;          // show time at start
    this.shownMs = 0;          // the latest show time given out since start: time never goes back
    this.clock = "page";       // what show time follows: "music" or "page"
    this.fromMs = 0;           // show time at the clock's anchor,
    this.anchor = 0;           // a context time in seconds (music; Infinity until the music
                               // starts) or performance.now() (page)
    this.output = null;        // where the music goes, before the speakers
    this.stopMusic = null;     // stops the scheduled soundtrack
    this.triedAt = 0;          // when the silent clock last looked for sound
    this.joinedAt = 0;         // when the music was last asked to start
    this.contextTime = -1;     // the context's clock, and the page time it last moved
    this.movedAt = 0;
    this.heard = false;        // the music has played
  }

  // Opens the audio output and loads the soundtrack's piece for show time fromMs, its downloads
  // counted in progress. Resolves once there is nothing more to wait for, with sound or without.
  async load(progress, fromMs) {
    const AudioContext = window.AudioContext || window.webkitAudioContext;
    if (!AudioContext) return this.fail("this browser has no Web Audio.");
    try {
      this.context = new AudioContext({sampleRate: RATE});
    } catch (e) {
      try {
        this.context = new AudioContext();
      } catch (e) {
        return this.fail("the browser opened no audio output.");
      }
    }
    this.output = this.context.createGain();
    this.output.connect(this.context.destination);
    // An output that starts (a device plugged in, a later click) is joined at once; its clock
    // has STUCK_MS from then to move.
    this.context.addEventListener("statechange", () => {
      this.movedAt = performance.now();
      if (this.running && this.clock === "page" && this.context && this.context.state === "running")
        this.join(this.positionMs());
    });
    try {
      this.soundtrack = await Soundtrack.open(this.context, progress, fromMs);
      this.soundtrack.trouble = (why) => noSound(why);
      keepSoundtrack(this.soundtrack.files());
    } catch (e) {
      this.fail(e.message);
    }
  }

  fail(why) {
    this.failure = why;
    noSound(why);
    if (this.context) this.context.close().catch(() => {});
    this.context = null;
  }

  // Asks the browser to start the audio output, which browsers allow during a click or a key:
  // on the first, and on later clicks while there is no sound. Resolves once the output runs,
  // or after waitMs.
  unlock(waitMs = 0) {
    if (!this.context || this.context.state === "running") return Promise.resolve();
    const resumed = this.context.resume().catch(() => {});
    return Promise.race([resumed, new Promise((resolve) => setTimeout(resolve, waitMs))]);
  }

  start(ms) {
    this.running = true;
    this.startMs = this.shownMs = ms;
    this.follow(ms);
    this.join(ms, true);
  }

  stop() {
    this.running = false;
    this.silence();
  }

  elapsedMs() {
    if (!this.running) return this.shownMs - this.startMs;
    let ms = this.positionMs();
    if (this.clock === "music" && !this.audible()) {
      this.silence();
      this.follow(ms);
      noSound(this.whyNoSound());
    } else if (this.clock === "music" && this.anchor === Infinity && performance.now() - this.joinedAt > HOLD_MS) {
      this.silence();
      this.follow(ms);
      noSound("the soundtrack is late.");
    } else if (this.clock === "page" && performance.now() - this.triedAt >= RETRY_MS) {
      this.join(ms);
      ms = this.positionMs();
    }
    this.shownMs = Math.max(this.shownMs, ms);
    return Math.round(this.shownMs - this.startMs);
  }

  // Where the show stands by its clock. Music: the moment of the soundtrack heard now, which
  // stays at the anchor until the first scheduled sample reaches the speakers.
  positionMs() {
    if (this.clock === "page") return this.fromMs + performance.now() - this.anchor;
    return this.fromMs + Math.max(0, this.heardTime() - this.anchor) * 1000;
  }

  // The context time now reaching the speakers (behind the time the audio thread schedules at
  // by the output's latency), smoothed between the thread's updates by the page's own clock.
  heardTime() {
    const stamp = this.context.getOutputTimestamp ? this.context.getOutputTimestamp() : null;
    if (stamp && stamp.contextTime > 0)
      return stamp.contextTime + Math.max(0, performance.now() - stamp.performanceTime) / 1000;
    return this.context.currentTime;
  }

  // The page's clock runs on from show time ms.
  follow(ms) {
    this.clock = "page";
    this.fromMs = ms;
    this.anchor = performance.now();
  }

  // The music starts at show time ms if sound is possible now, and the clock follows it from
  // there: standing at ms until the music's piece is decoded, if `hold`; otherwise the music
  // joins only once its piece is there.
  join(ms, hold = false) {
    this.triedAt = performance.now();
    if (!this.soundtrack || !this.context) return;
    if (!this.audible()) {
      if (this.context.state !== "running") this.context.resume().catch(() => {});
      noSound(this.whyNoSound());
      return;
    }
    if (!hold && !this.soundtrack.ready(ms)) {
      this.soundtrack.prepare(ms);
      return;
    }
    this.silence();
    this.clock = "music";
    // A whole ms is a whole number of samples at 48 kHz: the music starts on a sample.
    this.fromMs = ms = Math.round(ms);
    this.anchor = Infinity;
    this.joinedAt = performance.now();
    this.stopMusic = this.soundtrack.play(this.output, ms, (when) => {
      this.anchor = when;
      this.heard = true;
      noSound("");
    });
  }

  silence() {
    if (this.stopMusic) this.stopMusic();
    this.stopMusic = null;
  }

  // Notes when the context's clock last moved.
  watchContext() {
    if (!this.context) return;
    const now = this.context.currentTime;
    if (now !== this.contextTime) {
      this.contextTime = now;
      this.movedAt = performance.now();
    }
  }

  audible() {
    this.watchContext();
    return this.context !== null && this.context.state === "running" &&
           performance.now() - this.movedAt < STUCK_MS;
  }

  whyNoSound() {
    if (this.failure) return this.failure;
    if (!this.soundtrack) return "the soundtrack has not loaded.";
    if (this.context.state === "suspended" && this.heard) return "the audio output stopped.";
    return STOPPED[this.context.state] || "the audio output does not run.";
  }

  // Where the music stands, for the tests.
  state() {
    return {
      context: this.context ? this.context.state : "none",
      encoding: this.soundtrack ? this.soundtrack.encoding : "none",
      clock: this.running ? this.clock : "stopped",
      playing: this.stopMusic !== null,
      contextMs: this.context ? this.context.currentTime * 1000 : 0,
      positionMs: this.running ? this.positionMs() : this.shownMs,
      // The music's schedule: show time fromMs sounds at context time anchor (s).
      fromMs: this.fromMs,
      anchor: this.clock === "music" && this.anchor !== Infinity ? this.anchor : null,
      held: this.soundtrack ? this.soundtrack.held() : {pieces: 0, bytes: 0},
      noSound: document.getElementById("no-sound").textContent,
    };
  }
}
