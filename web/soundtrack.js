// The soundtrack, rendered at build time by the engine the program plays the module with and
// shipped in two encodings of the same samples: Ogg Opus, and AAC in MP4 for the browsers whose
// decoders take no Opus (Safari's). The page uses the first one this browser actually decodes.
import {download} from "./load.js";

export const ENCODINGS = ["music.opus", "music.m4a"];

// Old WebKit knows only decodeAudioData's callbacks; the others return a promise as well.
function decode(context, bytes) {
  return new Promise((resolve, reject) => {
    const promise = context.decodeAudioData(bytes, resolve, reject);
    if (promise) promise.catch(reject);
  });
}

// Resolves to the soundtrack in the first encoding that loads and decodes: {name, durationMs,
// play(destination, when, fromMs)}, where play sounds show time fromMs at context time `when`,
// the rest following, and returns a function that stops it. Rejects with an Error saying why
// there is no sound, a failed download before an encoding that does not decode.
export async function loadSoundtrack(context, progress) {
  let notLoaded = "";
  const notDecoded = [];
  for (const name of ENCODINGS) {
    let bytes, buffer;
    try {
      bytes = await download(name, progress);
    } catch (e) {
      notLoaded = notLoaded || e.message;
      continue;
    }
    try {
      buffer = await decode(context, bytes);
    } catch (e) {
      // Whatever the decoder gives as the reason (WebKit gives null), this one does not do here.
      notDecoded.push(name);
      continue;
    }
    return {
      name,
      durationMs: buffer.duration * 1000,
      play(destination, when, fromMs) {
        const offset = fromMs / 1000;
        if (offset >= buffer.duration) return () => {};
        const source = context.createBufferSource();
        source.buffer = buffer;
        source.connect(destination);
        source.start(when, offset);
        return () => {
          source.stop();
          source.disconnect();
        };
      },
    };
  }
  throw new Error(notLoaded ? notLoaded.replace(/^C/, "c")
                            : `this browser cannot decode ${notDecoded.join(" or ")}.`);
}
