// index.html?t=MS: the single frame at show time MS instead of the show, the scenes that carry
// state brought there as the capture tool brings them; once it is on screen the page's state
// becomes "ready", for whoever takes the picture.
import {say, setState, showPicture} from "./status.js";

// The still's show time from the page's address, or -1 for the show itself.
export function stillTime(params) {
  return params.has("t") ? Math.max(0, parseInt(params.get("t"), 10) || 0) : -1;
}

// Called by the program once the frame is drawn: the loading line goes, and the state changes
// after the frame has been composited onto the screen.
export function stillDrawn() {
  say("");
  showPicture();
  requestAnimationFrame(() => requestAnimationFrame(() => setState("ready")));
}
