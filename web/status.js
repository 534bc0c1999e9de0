// The page's words and state: one line in the middle (the prompt, the loading progress, or what
// stopped the show), one small line at the picture's lower edge saying why there is no sound,
// and the page's state on its root element (data-state) for tests and scripts: "loading",
// "ready" (a still drawn, or the show waiting for its click), "playing" (started), "error".
const root = document.documentElement;
const message = document.getElementById("message");
const noSoundLine = document.getElementById("no-sound");
const canvas = document.getElementById("canvas");

export function hasFailed() {
  return root.dataset.state === "error";
}

export function setState(state) {
  if (!hasFailed()) root.dataset.state = state;
}

// The middle line; "" hides it. Once the show has stopped, the reason stays.
export function say(text, {prompt = false} = {}) {
  if (hasFailed()) return;
  message.textContent = text;
  message.className = prompt ? "prompt" : "";
}

// What stopped the show, in one line instead of the picture. Only the first reason is kept (the
// page's first script, boot.js, may have given it).
export function fail(text) {
  if (hasFailed()) return;
  say(text);
  setState("error");
  canvas.style.visibility = "hidden";
}

// Why there is no sound, over the picture's edge; "" when the music plays.
export function noSound(why) {
  noSoundLine.textContent = why ? "No sound: " + why : "";
}

export function showPicture() {
  if (!hasFailed()) canvas.style.visibility = "visible";
}
