// Downloads the page's files: how far they are, in one line, while the show waits for them; a
// file that fails, or sends nothing for STALL_MS, rejects with a line that names it. Also starts
// the program itself (quenrastilan.js and quenrastilan.wasm).

// A slow network still delivers something every few seconds; this long without a byte means
// the file will not come.
export const STALL_MS = 15000;

// The downloads the page waits for, summed: report(loaded, total) in bytes whenever either
// moves. A file's total is known once its answer has come.
export class Progress {
  constructor(report) {
    this.report = report;
    this.files = new Map();
  }

  update(name, loaded, total) {
    this.files.set(name, {loaded, total});
    let sumLoaded = 0, sumTotal = 0;
    for (const file of this.files.values()) {
      sumLoaded += file.loaded;
      sumTotal += Math.max(file.total, file.loaded);
    }
    this.report(sumLoaded, sumTotal);
  }
}

// "loading… 0.4 of 0.8 MB", once there is a tenth of a megabyte to count.
export function progressLine(loaded, total) {
  const mb = (bytes) => (bytes / 1e6).toFixed(1);
  return total >= 1e5 ? `loading… ${mb(loaded)} of ${mb(total)} MB` : "loading…";
}

// Resolves to the file's bytes (an ArrayBuffer); progress, if given, follows the download. Rejects
// with an Error whose message is the line to show.
export async function download(name, progress = null) {
  const abort = new AbortController();
  let timer = 0, stalled = false;
  const watch = () => {
    clearTimeout(timer);
    timer = setTimeout(() => { stalled = true; abort.abort(); }, STALL_MS);
  };
  const failure = (why) => new Error(`Could not load ${name}: ${why}.`);
  watch();
  try {
    let response;
    try {
      response = await fetch(name, {signal: abort.signal});
    } catch (e) {
      if (stalled) throw failure(`nothing arrived in ${STALL_MS / 1000} s`);
      throw new Error(`Could not load ${name} (serve this folder from a web server).`);
    }
    if (!response.ok) throw failure(`${response.status} ${response.statusText}`.trim());
    const total = Number(response.headers.get("Content-Length")) || 0;
    if (progress) progress.update(name, 0, total);
    if (!response.body) return await response.arrayBuffer();
    const reader = response.body.getReader();
    const chunks = [];
    let loaded = 0;
    for (;;) {
      watch();
      let part;
      try {
        part = await reader.read();
      } catch (e) {
        throw failure(stalled ? `nothing arrived in ${STALL_MS / 1000} s` : "the download broke off");
      }
      if (part.done) break;
      chunks.push(part.value);
      loaded += part.value.length;
      if (progress) progress.update(name, loaded, total);
    }
    const bytes = new Uint8Array(loaded);
    let at = 0;
    for (const chunk of chunks) {
      bytes.set(chunk, at);
      at += chunk.length;
    }
    return bytes.buffer;
  } finally {
    clearTimeout(timer);
  }
}

// Runs the program with Module as its interface; resolves once it runs. Its script comes from its
// own file, as a strict Content-Security-Policy wants; its WebAssembly, the larger part, is
// downloaded with its progress and handed to the program's loader instead of it fetching it.
export async function startProgram(Module, progress) {
  const wasm = download("quenrastilan.wasm", progress);
  Module.instantiateWasm = (imports, done) => {
    wasm.then((bytes) => WebAssembly.instantiate(bytes, imports))
      .then((result) => done(result.instance, result.module))
      // (A download that failed is said by the caller.)
      .catch((e) => wasm.then(() => Module.fail(/Content.Security.Policy/i.test(e.message)
        ? "The server's Content-Security-Policy keeps quenrastilan.wasm from running: its script-src needs 'wasm-unsafe-eval'."
        : "This browser cannot run the demo: " + e.message), () => {}));
    return {};
  };
  const script = document.createElement("script");
  const loaded = new Promise((resolve, reject) => {
    script.onload = resolve;
    script.onerror = () => reject(new Error("Could not load quenrastilan.js."));
  });
  script.src = "quenrastilan.js";
  document.body.appendChild(script);
  await Promise.all([wasm, loaded]);
}
