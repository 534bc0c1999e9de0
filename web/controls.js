// The viewer's hands on the show. Before it starts, the first click, tap or key starts it
// (gesture). Then the keys a video player has (Space and K pause, J and L or the arrows jump
// ten seconds, Home goes to the start, 0-9 to tenths of the show, F full screen, S saves the
// frame) and a bar over the picture that a tap or a mouse move shows and a few seconds without
// input hide: play/pause, the time and the scene, a seek bar across the whole show with the
// scenes marked as chapters, a link to this moment, saving the frame and full screen. The bar is
// real buttons and a range input with labels, so that keyboards and screen readers drive it as a
// mouse does. A double click or a double tap toggles full screen (landscape on a phone, where
// the browser allows it). A hidden tab pauses picture and music together; shown again, the show
// goes on from the same moment (a show nobody watches should not run on). Stills (?t=MS) have
// none of this: the page does not bind it there.
const JUMP_MS = 10000;
const HIDE_AFTER_MS = 3000;
const DOUBLE_TAP_MS = 500;

// "mouse", "touch" or "pen": what last pointed at the page. A finger leaves :hover on what it
// tapped, which must not hold the bar up.
let pointer = "mouse";
window.addEventListener("pointerdown", (e) => { pointer = e.pointerType; }, true);
window.addEventListener("pointermove", (e) => { if (e.pointerType === "mouse") pointer = "mouse"; }, true);

// 83456 ms as "1:23".
export function clockText(ms) {
  const s = Math.floor(ms / 1000);
  return `${Math.floor(s / 60)}:${String(s % 60).padStart(2, "0")}`;
}

// 83456 ms as "1 minute 23 seconds", for screen readers.
function spokenTime(ms) {
  const s = Math.floor(ms / 1000), m = Math.floor(s / 60), r = s % 60;
  const part = (n, unit) => `${n} ${unit}${n === 1 ? "" : "s"}`;
  return m > 0 ? `${part(m, "minute")} ${part(r, "second")}` : part(r, "second");
}

// The scenes drawn at ms, as "lorentz and rossler" where two overlap.
function scenesAt(scenes, ms) {
  const names = scenes.filter((s) => s.first <= ms && ms <= s.last).map((s) => s.name);
  return names.length > 0 ? names.join(" and ") : "the end";
}

function toggleFullScreen() {
  if (document.fullscreenElement) {
    document.exitFullscreen().catch(() => {});
    return;
  }
  const root = document.documentElement;
  const asked = root.requestFullscreen ? root.requestFullscreen() : Promise.reject(new Error());
  asked.then(() => screen.orientation && screen.orientation.lock && screen.orientation.lock("landscape"))
    .catch(() => {});
}

function element(tag, attributes, parent) {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(attributes)) e.setAttribute(k, v);
  parent.appendChild(e);
  return e;
}

// The bar, built once the show has started.
function controlBar(show) {
  const scenes = show.scenes(), length = show.length();
  const bar = element("div", {id: "controls", role: "group", "aria-label": "Player controls"}, document.body);
  const play = element("button", {type: "button", class: "play"}, bar);
  const time = element("span", {class: "time"}, bar);
  const track = element("div", {class: "track"}, bar);
  const seek = element("input", {type: "range", min: "0", max: String(length), step: "100", "aria-label": "Seek"},
                       track);
  const chapters = element("div", {class: "chapters"}, track);
  const link = element("button", {type: "button", class: "link", "aria-label": "Copy a link to this moment",
                                  title: "Link to this moment"}, bar);
  const save = element("button", {type: "button", class: "save", "aria-label": "Save this frame as a picture",
                                  title: "Save the frame (S)"}, bar);
  const full = element("button", {type: "button", class: "full", title: "Full screen (F)"}, bar);
  const note = element("span", {class: "note", role: "status"}, bar);
  let dragging = false, hideTimer = 0, noteTimer = 0;

  const update = () => {
    const ms = dragging ? Number(seek.value) : Math.max(0, show.time());
    const paused = !show.playing();
    play.classList.toggle("paused", paused);
    play.setAttribute("aria-label", paused ? "Play" : "Pause");
    play.title = paused ? "Play (Space, K)" : "Pause (Space, K)";
    time.textContent = `${clockText(ms)} / ${clockText(length)}  ${scenesAt(scenes, ms)}`;
    if (!dragging) seek.value = String(ms);
    seek.setAttribute("aria-valuetext", `${spokenTime(ms)}, ${scenesAt(scenes, ms)}`);
    full.setAttribute("aria-label", document.fullscreenElement ? "Leave full screen" : "Full screen");
  };
  const say = (text) => {
    note.textContent = text;
    clearTimeout(noteTimer);
    noteTimer = setTimeout(() => { note.textContent = ""; }, 2500);
  };
  // Hidden after a few seconds without input while the show plays; while paused, or while the
  // pointer rests on the bar or the seek bar is held, it stays.
  const hideIfIdle = () => {
    if (!show.playing() || dragging || (pointer === "mouse" && bar.matches(":hover"))) {
      hideTimer = setTimeout(hideIfIdle, HIDE_AFTER_MS);
      return;
    }
    bar.classList.remove("shown");
    document.body.classList.add("idle");
  };
  const reveal = () => {
    update();
    bar.classList.add("shown");
    document.body.classList.remove("idle");
    clearTimeout(hideTimer);
    hideTimer = setTimeout(hideIfIdle, HIDE_AFTER_MS);
  };
  const saveFrame = () => { show.saveFrame(); say("frame saved"); };

  for (const scene of scenes) {
    const mark = element("button", {type: "button", class: "chapter", "data-name": scene.name,
                                    title: `${scene.name} ${clockText(scene.first)}`,
                                    "aria-label": `Chapter ${scene.name}, from ${spokenTime(scene.first)}`}, chapters);
    mark.style.left = `${(100 * scene.first) / length}%`;
    mark.addEventListener("click", () => { show.seek(scene.first); reveal(); });
  }
  play.addEventListener("click", () => { show.toggle(); reveal(); });
  full.addEventListener("click", () => { toggleFullScreen(); reveal(); });
  save.addEventListener("click", () => { saveFrame(); reveal(); });
  link.addEventListener("click", () => {
    const url = new URL(location.href);
    url.searchParams.delete("t");
    url.searchParams.set("start", String(Math.max(0, show.time())));
    const copied = navigator.clipboard ? navigator.clipboard.writeText(url.href) : Promise.reject(new Error());
    copied.then(() => say("link copied"), () => say(url.href));
    reveal();
  });
  // Dragging moves the time shown; the show jumps when the seek bar is let go.
  seek.addEventListener("input", () => { dragging = true; reveal(); });
  seek.addEventListener("change", () => {
    dragging = false;
    show.seek(Number(seek.value));
    reveal();
  });
  // The bar's own clicks and taps do not reach the picture behind it.
  for (const type of ["click", "dblclick", "touchend"]) bar.addEventListener(type, (e) => e.stopPropagation());
  document.addEventListener("fullscreenchange", update);
  setInterval(() => { if (bar.classList.contains("shown")) update(); }, 250);
  reveal();
  return {bar, seek, reveal, saveFrame};
}

// gesture() is called on every click, and on keys until the show starts. Returns started(), to
// be called once the show has started and whenever the page's visibility may have changed.
export function bindControls(show, gesture) {
  let bar = null, pausedByHiding = false, lastTap = 0;
  window.addEventListener("click", () => gesture());
  // A mouse's double click; a finger's double tap is counted below, since not every browser
  // makes it a double click.
  window.addEventListener("dblclick", () => { if (show.started && pointer === "mouse") toggleFullScreen(); });
  // A tap or a mouse move shows the bar.
  window.addEventListener("pointerdown", () => { if (bar) bar.reveal(); });
  window.addEventListener("pointermove", (e) => { if (bar && e.pointerType === "mouse") bar.reveal(); });
  // Two taps in a row on the picture: full screen. Nothing a finger does scrolls, zooms or
  // navigates away from the page but the seek bar's own dragging.
  window.addEventListener("touchend", (e) => {
    if (!show.started || e.touches.length > 0) return;
    // When the finger came up, not when a busy page got to it.
    const now = e.timeStamp;
    if (now - lastTap < DOUBLE_TAP_MS) {
      toggleFullScreen();
      lastTap = 0;
    } else {
      lastTap = now;
    }
  });
  window.addEventListener("touchmove", (e) => { if (!bar || e.target !== bar.seek) e.preventDefault(); },
                          {passive: false});
  window.addEventListener("gesturestart", (e) => e.preventDefault());

  window.addEventListener("keydown", (e) => {
    if (e.ctrlKey || e.altKey || e.metaKey) return;
    if (!show.started) {
      gesture();
      return;
    }
    // The seek bar takes its own arrows, Home and End; a focused button its own Space.
    if (bar && e.target === bar.seek && ["ArrowLeft", "ArrowRight", "Home", "End", "PageUp", "PageDown"].includes(e.code))
      return;
    if (e.code === "Space" && e.target instanceof HTMLButtonElement) return;
    const length = show.length();
    if (e.code === "Space" || e.code === "KeyK") show.toggle();
    else if (e.code === "ArrowLeft" || e.code === "KeyJ") show.jump(-JUMP_MS);
    else if (e.code === "ArrowRight" || e.code === "KeyL") show.jump(JUMP_MS);
    else if (e.code === "Home") show.seek(0);
    else if (/^Digit[0-9]$/.test(e.code)) show.seek(Math.floor((length * Number(e.code.slice(5))) / 10));
    else if (e.code === "KeyF") toggleFullScreen();
    else if (e.code === "KeyS") bar ? bar.saveFrame() : show.saveFrame();
    else return;
    e.preventDefault();
    if (bar) bar.reveal();
  });

  const followVisibility = () => {
    if (document.hidden && show.playing()) {
      show.pause();
      pausedByHiding = true;
    } else if (!document.hidden && pausedByHiding) {
      pausedByHiding = false;
      show.play();
    }
  };
  document.addEventListener("visibilitychange", followVisibility);
  return () => {
    if (!bar && show.started) bar = controlBar(show);
    followVisibility();
  };
}
