// The viewer's hands on the show. Before it starts, the first click, tap or key starts it
// (gesture). Then the keys a video player has (Space and K pause, J and L or the arrows jump
// ten seconds, Page Up and Down a scene, Home and End go to the ends, 0-9 to tenths of the show,
// F full screen, S saves the frame) and a bar over the picture that a tap, a mouse move or Tab
// shows and a few seconds without input hide: play/pause, the time and the scene, a seek bar
// across the whole show with the scenes marked as chapters, the chapters as a list, a link to
// this moment, saving the frame and full screen. The bar is real buttons and a range input with
// labels, so that keyboards and screen readers drive it as a mouse does: it stays while one of
// them has the keyboard's focus, Escape hides it, and a line only screen readers read says each
// scene as it begins. A double click or a double tap toggles full screen (landscape on a phone,
// where the browser allows it). A hidden tab pauses picture and music together; shown again, the
// show goes on from the same moment (a show nobody watches should not run on). Stills (?t=MS)
// have none of this: the page does not bind it there.
const JUMP_MS = 10000;
const HIDE_AFTER_MS = 3000;
const DOUBLE_TAP_MS = 500;
// A chapter mark's target on the seek bar is at least this wide and high (CSS pixels); marks
// closer together than this share one, which opens the list of chapters.
const TARGET_PX = 24;
// Page Down within this long after a scene's start goes to the scene before it.
const CHAPTER_GRACE_MS = 1000;

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

// The chapter at ms: the latest scene begun by then.
function chapterAt(scenes, ms) {
  let chapter = scenes[0];
  for (const scene of scenes) if (scene.first <= ms) chapter = scene;
  return chapter;
}

// What the bar says is playing at ms: the chapter's title, or "the end" after the last scene.
function playingAt(scenes, ms) {
  return ms > scenes[scenes.length - 1].last ? "the end" : chapterAt(scenes, ms).title;
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
  const canvas = document.getElementById("canvas");
  const main = document.getElementById("show");
  const bar = element("div", {id: "controls", role: "group", "aria-label": "Player controls"}, main);
  const play = element("button", {type: "button", class: "play"}, bar);
  const time = element("span", {class: "time"}, bar);
  const track = element("div", {class: "track"}, bar);
  const seek = element("input", {type: "range", min: "0", max: String(length), step: "any", "aria-label": "Seek"},
                       track);
  // The marks are for the pointer; keyboards and screen readers have the list.
  const marks = element("div", {class: "chapters", "aria-hidden": "true"}, track);
  const chapters = element("button", {type: "button", class: "list", "aria-label": "Chapters", title: "Chapters",
                                      "aria-expanded": "false", "aria-controls": "chapter-list"}, bar);
  const link = element("button", {type: "button", class: "link", "aria-label": "Copy a link to this moment",
                                  title: "Link to this moment"}, bar);
  const save = element("button", {type: "button", class: "save", "aria-label": "Save this frame as a picture",
                                  title: "Save the frame (S)"}, bar);
  const full = element("button", {type: "button", class: "full"}, bar);
  // What a button did ("link copied", "frame saved"), said for a moment.
  const feedback = element("span", {class: "feedback", role: "status"}, bar);
  const list = element("ul", {id: "chapter-list", class: "chapter-list", "aria-label": "Chapters"}, bar);
  list.hidden = true;
  // Each scene said once as it begins, for screen readers.
  const begun = element("div", {id: "scene-now", class: "spoken", role: "status"}, main);
  let dragging = false, hideTimer = 0, feedbackTimer = 0, announced = null;

  const items = scenes.map((scene) => {
    const item = element("button", {type: "button"}, element("li", {}, list));
    item.textContent = `${clockText(scene.first)}  ${scene.title}`;
    item.addEventListener("click", () => {
      show.seek(scene.first);
      closeList(true);
      reveal();
    });
    return item;
  });

  const update = () => {
    const ms = dragging ? Number(seek.value) : Math.max(0, show.time());
    const paused = !show.playing();
    play.classList.toggle("paused", paused);
    play.setAttribute("aria-label", paused ? "Play" : "Pause");
    play.title = paused ? "Play (Space, K)" : "Pause (Space, K)";
    time.textContent = `${clockText(ms)} / ${clockText(length)}\n${playingAt(scenes, ms)}`;
    if (!dragging) seek.value = String(ms);
    seek.setAttribute("aria-valuetext", `${spokenTime(ms)}, ${playingAt(scenes, ms)}`);
    const fullScreen = document.fullscreenElement !== null && document.fullscreenElement !== undefined;
    full.setAttribute("aria-label", fullScreen ? "Leave full screen" : "Full screen");
    full.title = fullScreen ? "Leave full screen (F)" : "Full screen (F)";
    const current = chapterAt(scenes, ms);
    items.forEach((item, i) => item.toggleAttribute("aria-current", scenes[i] === current));
  };
  const announce = () => {
    const chapter = chapterAt(scenes, Math.max(0, show.time()));
    if (chapter !== announced) begun.textContent = (announced = chapter).title;
  };
  const tell = (text) => {
    feedback.textContent = text;
    clearTimeout(feedbackTimer);
    feedbackTimer = setTimeout(() => { feedback.textContent = ""; }, 2500);
  };
  const openList = (scene) => {
    list.hidden = false;
    chapters.setAttribute("aria-expanded", "true");
    const item = items[scenes.indexOf(scene || chapterAt(scenes, Math.max(0, show.time())))];
    item.scrollIntoView({block: "nearest"});
    if (!scene) item.focus();
  };
  const closeList = (refocus) => {
    if (list.hidden) return;
    const hadFocus = list.contains(document.activeElement);
    list.hidden = true;
    chapters.setAttribute("aria-expanded", "false");
    if (refocus && hadFocus) chapters.focus();
  };
  const hide = () => {
    closeList(false);
    // Focus stays in the page's order, on the picture just before the bar: Tab comes back to it.
    if (bar.contains(document.activeElement)) canvas.focus({preventScroll: true});
    bar.classList.remove("shown");
    document.body.classList.add("idle");
  };
  // Hidden after a few seconds without input while the show plays; while paused, while a
  // control has the keyboard's focus, while the list is open, or while the pointer rests on the
  // bar or holds the seek bar, it stays.
  const hideIfIdle = () => {
    if (!show.playing() || dragging || !list.hidden || bar.querySelector(":focus-visible") ||
        (pointer === "mouse" && bar.matches(":hover"))) {
      hideTimer = setTimeout(hideIfIdle, HIDE_AFTER_MS);
      return;
    }
    hide();
  };
  const reveal = () => {
    update();
    bar.classList.add("shown");
    document.body.classList.remove("idle");
    clearTimeout(hideTimer);
    hideTimer = setTimeout(hideIfIdle, HIDE_AFTER_MS);
  };
  // Escape closes the list, or else hides the bar.
  const escape = () => {
    if (list.hidden) {
      clearTimeout(hideTimer);
      hide();
    } else {
      closeList(true);
    }
  };
  const saveFrame = () => { show.saveFrame(); tell("frame saved"); };

  // The marks, laid out for the seek bar's width: a mark's target is TARGET_PX wide, and marks
  // closer than that share one.
  const layOutMarks = () => {
    const width = marks.clientWidth;
    marks.replaceChildren();
    const at = (scene) => (width * scene.first) / length;
    const groups = [];
    for (const scene of scenes) {
      const last = groups[groups.length - 1];
      if (last && at(scene) - at(last[last.length - 1]) < TARGET_PX) last.push(scene);
      else groups.push([scene]);
    }
    for (const group of groups) {
      const from = at(group[0]), span = at(group[group.length - 1]) - from;
      const target = element("span", {class: "chapter",
        "data-name": group.map((s) => `${clockText(s.first)} ${s.title}`).join(", ")}, marks);
      target.style.left = `${from - TARGET_PX / 2}px`;
      target.style.width = `${span + TARGET_PX}px`;
      for (const scene of group) element("span", {class: "tick"}, target).style.left = `${at(scene) - from + TARGET_PX / 2}px`;
      target.addEventListener("click", () => {
        if (group.length === 1) show.seek(group[0].first);
        else openList(group[0]);
        reveal();
      });
    }
  };
  new ResizeObserver(layOutMarks).observe(marks);

  play.addEventListener("click", () => { show.toggle(); reveal(); });
  full.addEventListener("click", () => { toggleFullScreen(); reveal(); });
  save.addEventListener("click", () => { saveFrame(); reveal(); });
  chapters.addEventListener("click", () => {
    if (list.hidden) openList(null);
    else closeList(true);
    reveal();
  });
  link.addEventListener("click", () => {
    const url = new URL(location.href);
    url.searchParams.delete("t");
    url.searchParams.set("start", String(Math.max(0, show.time())));
    const copied = navigator.clipboard ? navigator.clipboard.writeText(url.href) : Promise.reject(new Error());
    copied.then(() => tell("link copied"), () => tell(url.href));
    reveal();
  });
  // Dragging moves the time shown; the show jumps when the seek bar is let go.
  seek.addEventListener("input", () => { dragging = true; reveal(); });
  seek.addEventListener("change", () => {
    dragging = false;
    show.seek(Math.round(Number(seek.value)));
    reveal();
  });
  // Focus coming to a control shows the bar.
  bar.addEventListener("focusin", reveal);
  // The bar's own clicks and taps do not reach the picture behind it.
  for (const type of ["click", "dblclick", "touchend"]) bar.addEventListener(type, (e) => e.stopPropagation());
  document.addEventListener("fullscreenchange", update);
  setInterval(() => {
    announce();
    if (bar.classList.contains("shown")) update();
  }, 250);
  reveal();
  return {bar, seek, reveal, escape, saveFrame};
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
  // Two taps in a row on the picture: full screen. Nothing one finger does scrolls or navigates
  // away from the page but the seek bar's own dragging; two fingers zoom it.
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
  window.addEventListener("touchmove", (e) => {
    if (e.touches.length === 1 && (!bar || e.target !== bar.seek)) e.preventDefault();
  }, {passive: false});

  window.addEventListener("keydown", (e) => {
    if (e.ctrlKey || e.altKey || e.metaKey) return;
    // Tab moves through the bar, which shows for it.
    if (e.code === "Tab" || /^(Shift|Control|Alt|Meta)/.test(e.code)) {
      if (bar && e.code === "Tab") bar.reveal();
      return;
    }
    if (!show.started) {
      gesture();
      return;
    }
    if (e.code === "Escape") {
      if (bar) bar.escape();
      return;
    }
    // A focused button takes its own Space and Enter.
    if ((e.code === "Space" || e.code === "Enter") && e.target instanceof HTMLButtonElement) return;
    const length = show.length(), ms = show.time(), scenes = show.scenes();
    const onSeek = bar && e.target === bar.seek;
    if (e.code === "Space" || e.code === "KeyK") show.toggle();
    else if (e.code === "ArrowLeft" || e.code === "KeyJ" || (onSeek && e.code === "ArrowDown")) show.jump(-JUMP_MS);
    else if (e.code === "ArrowRight" || e.code === "KeyL" || (onSeek && e.code === "ArrowUp")) show.jump(JUMP_MS);
    else if (e.code === "Home") show.seek(0);
    else if (e.code === "End") show.seek(length);
    else if (e.code === "PageUp") show.seek((scenes.find((s) => s.first > ms) || {first: length}).first);
    else if (e.code === "PageDown") show.seek(scenes.filter((s) => s.first < ms - CHAPTER_GRACE_MS).pop()?.first || 0);
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
