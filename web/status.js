// The page's words: one line in the middle (the prompt, the loading progress, or what stopped
// the show), and one small line at the picture's lower edge saying why there is no sound.
const message = document.getElementById("message");
const note = document.getElementById("note");
const canvas = document.getElementById("canvas");
let stopped = false;

// The middle line; "" hides it. Once the show has stopped, the reason stays.
export function say(text, {prompt = false} = {}) {
  if (stopped) return;
  message.textContent = text;
  message.className = prompt ? "prompt" : "";
}

// What stopped the show, in one line instead of the picture. Only the first reason is kept.
export function fail(text) {
  if (stopped) return;
  say(text);
  stopped = true;
  message.className = "error";
  canvas.style.visibility = "hidden";
  document.title = "error";
}

export function hasFailed() {
  return stopped;
}

// Why there is no sound, over the picture's edge; "" when the music plays.
export function noSound(why) {
  note.textContent = why ? "No sound: " + why : "";
}

export function showPicture() {
  if (!stopped) canvas.style.visibility = "visible";
}
