// The soundtrack as the native program plays it, how well a stretch of sound heard in a
// browser lines up with it, and where the page starts the music's clock, for the web tests.
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");
const {execFileSync} = require("child_process");

// The rendered soundtrack's left channel, from `quenrastilan-capture --audio` (16-bit stereo
// WAV at 48 kHz), as numbers from -1 to 1.
function renderedSoundtrack(tool) {
  const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), "web-sound-")), "music.wav");
  execFileSync(tool, ["--quiet", "--audio", file]);
  const wav = fs.readFileSync(file);
  fs.rmSync(path.dirname(file), {recursive: true});
  let at = 12;
  while (wav.toString("latin1", at, at + 4) !== "data") at += 8 + wav.readUInt32LE(at + 4);
  const samples = new Int16Array(wav.buffer.slice(wav.byteOffset + at + 8, wav.byteOffset + at + 8 + wav.readUInt32LE(at + 4)));
  const left = new Float32Array(samples.length / 2);
  for (let i = 0; i < left.length; i++) left[i] = samples[2 * i] / 32768;
  return left;
}

// Where `heard` (samples) lines up with `reference` near sample `at`: the offset within
// +-range samples that matches best (heard[i] is reference[at + lag + i]), and the
// signal-to-noise ratio there in dB. A coded soundtrack in place measures some 20 dB; silence
// where music should be, 0 dB; the wrong music, below.
function lineUp(heard, reference, at, range) {
  let best = -Infinity, lag = 0;
  for (let d = -range; d <= range; d++) {
    let sum = 0;
    for (let i = 0; i < heard.length; i++) sum += heard[i] * (reference[at + d + i] || 0);
    if (sum > best) [best, lag] = [sum, d];
  }
  let signal = 0, noise = 0;
  for (let i = 0; i < heard.length; i++) {
    const r = reference[at + lag + i] || 0;
    signal += r * r;
    noise += (heard[i] - r) ** 2;
  }
  return {lag, snr: 10 * Math.log10(signal / Math.max(noise, 1e-12)), level: Math.sqrt(signal / heard.length)};
}

// Run in the page before the program's next start of the music's clock: window.starts keeps
// every show time it starts it at (the first start, a resume, after a jump), in order.
function recordStarts() {
  window.starts = [];
  const start = Module.clock.start;
  Module.clock.start = function (ms) {
    starts.push(ms);
    return start.call(this, ms);
  };
}

module.exports = {renderedSoundtrack, lineUp, recordStarts};
