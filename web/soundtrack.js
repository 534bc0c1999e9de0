// The soundtrack, rendered at build time by the engine the program plays the module with and cut
// into pieces of 10 s (scripts/web-soundtrack), each in two encodings of the same samples: Ogg
// Opus, and AAC in MP4 for the browsers whose decoders take no Opus (Safari's). The page uses the
// first encoding this browser actually decodes. Once the music first plays, every piece is
// downloaded in the background and kept (3 MB in all), so that a jump waits only for decoding;
// but at most two are held decoded (0.4 MB per second of 48 kHz stereo; the whole soundtrack
// would be 95 MB): the one playing and the next, decoded AHEAD_S before it is due.
import {download} from "./load.js";

const AHEAD_S = 4;
// A piece starts this far ahead of the audio thread, so that it starts at the context time it
// is given, not whenever the message reaches the thread.
const LEAD_S = 0.05;

// Old WebKit knows only decodeAudioData's callbacks; the others return a promise as well.
function decode(context, bytes) {
  return new Promise((resolve, reject) => {
    const promise = context.decodeAudioData(bytes, resolve, reject);
    if (promise) promise.catch(reject);
  });
}

// "Could not load x" as part of a line.
const lower = (text) => text.charAt(0).toLowerCase() + text.slice(1);

export class Soundtrack {
  // Resolves to the soundtrack with the piece for show time fromMs decoded, in the first encoding
  // (of `encodings`, by default the layout's) that loads and decodes here. Rejects with an Error
  // saying why there is no sound, a failed download before an encoding that does not decode.
  // Any BaseAudioContext serves: an OfflineAudioContext renders what play() schedules.
  static async open(context, progress, fromMs, encodings = null) {
    const text = new TextDecoder().decode(await download("music.json", progress).catch((e) => {
      throw new Error(lower(e.message));
    }));
    let layout;
    try {
      layout = JSON.parse(text);
    } catch (e) {
      throw new Error("music.json is damaged.");
    }
    const soundtrack = new Soundtrack(context, layout);
    const k = soundtrack.pieceAt(fromMs);
    let notLoaded = "";
    const notDecoded = [];
    for (const encoding of encodings || layout.encodings) {
      soundtrack.encoding = encoding;
      soundtrack.encoded.clear();
      try {
        await soundtrack.bytes(k, progress);
      } catch (e) {
        notLoaded = notLoaded || e.message;
        continue;
      }
      try {
        await soundtrack.piece(k);
        return soundtrack;
      } catch (e) {
        notDecoded.push(soundtrack.file(k));
      }
    }
    throw new Error(notLoaded ? lower(notLoaded) : `this browser cannot decode ${notDecoded.join(" or ")}.`);
  }

  // layout, from music.json, in samples at `rate`: the soundtrack's length, a piece's, and the
  // pad encoded before and after each piece but the first.
  constructor(context, layout) {
    this.context = context;
    this.layout = layout;
    this.encoding = "";
    this.count = Math.ceil(layout.length / layout.piece);
    this.encoded = new Map();     // piece -> Promise of its file's bytes
    this.decoded = new Map();     // piece -> AudioBuffer, only pieces in `wanted`
    this.decoding = new Map();    // piece -> Promise of its AudioBuffer
    this.wanted = new Set();
    this.playing = new Set();     // the sources scheduled and not yet ended
    this.trouble = () => {};      // told why a piece is missing, and "" once one plays again
    this.fetching = false;
    this.late = 0;                // pieces that came too late to start on time
  }

  // Downloads the pieces one after another from piece k on, all of them once.
  async fetchAll(k) {
    if (this.fetching) return;
    this.fetching = true;
    for (let j = 0; j < this.count; j++) await this.bytes((k + j) % this.count).catch(() => {});
  }

  pieceAt(ms) {
    return Math.min(this.count - 1, Math.max(0, Math.floor(ms * this.layout.rate / 1000 / this.layout.piece)));
  }

  // Show time in ms where piece k begins (k = count: the end).
  pieceMs(k) {
    return Math.min(k * this.layout.piece, this.layout.length) * 1000 / this.layout.rate;
  }

  file(k) {
    return `music/${String(k).padStart(3, "0")}.${this.encoding}`;
  }

  // Every piece's file in the encoding taken.
  files() {
    return Array.from({length: this.count}, (_, k) => this.file(k));
  }

  bytes(k, progress = null) {
    if (!this.encoded.has(k)) {
      const bytes = download(this.file(k), progress);
      // A failed download is tried again when the piece is next needed.
      bytes.catch(() => { if (this.encoded.get(k) === bytes) this.encoded.delete(k); });
      this.encoded.set(k, bytes);
    }
    return this.encoded.get(k);
  }

  // Resolves to piece k decoded, kept while it is wanted.
  piece(k) {
    if (this.decoded.has(k)) return Promise.resolve(this.decoded.get(k));
    if (!this.decoding.has(k)) {
      this.wanted.add(k);
      // The decoder takes the bytes it is given, so it gets a copy. Whatever it gives as the
      // reason it cannot (WebKit gives null), the encoding does not do here.
      const buffer = this.bytes(k).then(
        (bytes) => decode(this.context, bytes.slice(0)).catch(() => {
          throw new Error(`this browser cannot decode ${this.file(k)}.`);
        }),
        (e) => { throw new Error(lower(e.message)); });
      this.decoding.set(k, buffer);
      buffer.then((b) => { if (this.wanted.has(k)) this.decoded.set(k, b); }, () => {})
        .then(() => this.decoding.delete(k));
    }
    return this.decoding.get(k);
  }

  // Only pieces ks stay decoded.
  want(ks) {
    this.wanted = new Set(ks);
    for (const k of this.decoded.keys())
      if (!this.wanted.has(k)) this.decoded.delete(k);
  }

  ready(ms) {
    return this.decoded.has(this.pieceAt(ms));
  }

  // Decodes the piece for show time ms, alone, so that the music can join there.
  prepare(ms) {
    const k = this.pieceAt(ms);
    this.want([k]);
    this.piece(k).catch(() => {});
  }

  // Plays the soundtrack from show time fromMs into destination as soon as its piece is decoded,
  // calling started(when) with the context time at which fromMs sounds; the rest follows piece
  // by piece, each decoded AHEAD_S before it is due. A piece that comes too late joins where the
  // music stands by then, so the music never falls behind the clock. Returns stop().
  play(destination, fromMs, started) {
    const context = this.context, rate = context.sampleRate, perMs = rate / 1000;
    const k0 = this.pieceAt(fromMs);
    // The schedule in whole sample frames of the context: show time fromMs sounds at frame
    // `anchor`; times go to the engine only as frames / rate.
    let anchor = 0, stopped = false, timer = 0;
    const at = (ms) => anchor + Math.round((ms - fromMs) * perMs);
    const frames = (ms) => Math.round(ms * perMs);

    const schedule = (k, buffer) => {
      const begin = Math.max(this.pieceMs(k), fromMs), end = this.pieceMs(k + 1);
      let when = at(begin), skip = frames(begin - this.pieceMs(k));
      // The first piece starts at the anchor, which was set LEAD_S ahead a moment ago.
      const earliest = Math.ceil((context.currentTime + LEAD_S) * rate);
      if (k !== k0 && when < earliest) {
        skip += earliest - when;
        when = earliest;
        this.late++;
      }
      const length = frames(end - this.pieceMs(k)) - skip;
      if (length <= 0) return;
      const source = context.createBufferSource();
      source.buffer = buffer;
      source.connect(destination);
      const head = k > 0 ? Math.round((this.layout.pad * rate) / this.layout.rate) : 0;
      // A duration of whole frames can come out of the engine's arithmetic a hair long, and
      // engines that round it up (Chromium) then play one frame more, over the next piece's
      // first. A quarter frame short, it ends on its last frame whether the engine rounds up
      // or to the nearest frame (Firefox).
      source.start(when / rate, (head + skip) / rate, (length - 0.25) / rate);
      this.playing.add(source);
      source.onended = () => {
        this.playing.delete(source);
        source.disconnect();
      };
      this.trouble("");
    };

    // A start close to a piece's end waits for the next piece too, which would come late else.
    const both = k0 + 1 < this.count && this.pieceMs(k0 + 1) - fromMs < AHEAD_S * 1000;
    const feed = (k) => {
      if (stopped || k >= this.count) return;
      this.want(k === k0 ? (both ? [k0, k0 + 1] : [k0]) : [k - 1, k]);
      const next = k === k0 && both ? this.piece(k0 + 1).catch(() => {}) : null;
      this.piece(k).then((buffer) => next ? next.then(() => buffer) : buffer).then((buffer) => {
        if (stopped) return;
        if (k === k0) {
          anchor = Math.ceil((context.currentTime + LEAD_S) * rate);
          started(anchor / rate);
        }
        schedule(k, buffer);
      }, (e) => {
        if (!stopped) this.trouble(e.message);
      }).then(() => {
        if (stopped || anchor === 0) return;
        const due = at(this.pieceMs(k + 1)) / rate - AHEAD_S - context.currentTime;
        timer = setTimeout(() => feed(k + 1), Math.max(0, due * 1000));
      });
    };
    feed(k0);
    this.fetchAll(k0);

    return () => {
      stopped = true;
      clearTimeout(timer);
      for (const source of this.playing) {
        source.onended = null;
        source.stop();
        source.disconnect();
      }
      this.playing.clear();
      const k = this.pieceAt(fromMs + Math.max(0, context.currentTime * rate - anchor) / perMs);
      this.want(anchor === 0 ? [k0] : [k, k + 1]);
    };
  }

  // The decoded sound held now: pieces kept or playing, and their bytes (32-bit samples); and
  // how many pieces have come late.
  held() {
    const buffers = new Set(this.decoded.values());
    for (const source of this.playing) buffers.add(source.buffer);
    let bytes = 0;
    for (const buffer of buffers) bytes += buffer.length * buffer.numberOfChannels * 4;
    return {pieces: buffers.size, bytes, late: this.late};
  }
}
