// The viewer's hands on the show: the first click or key starts it (gesture), Space pauses,
// Left and Right jump ten seconds, F or a double-click toggles full screen, and a later click
// asks again for sound if there is none. A hidden tab pauses picture and music together; shown
// again, the show goes on from the same moment (a show nobody watches should not run on).
const JUMP_MS = 10000;

function toggleFullScreen() {
  if (document.fullscreenElement) document.exitFullscreen();
  else document.documentElement.requestFullscreen().catch(() => {});
}

// gesture() is called on every click, and on keys until the show starts. Returns started(),
// to be called once the show has started.
export function bindControls(show, gesture) {
  let pausedByHiding = false;
  window.addEventListener("click", () => gesture());
  window.addEventListener("dblclick", () => { if (show.started) toggleFullScreen(); });
  window.addEventListener("keydown", (e) => {
    if (e.ctrlKey || e.altKey || e.metaKey) return;
    if (!show.started) {
      gesture();
      return;
    }
    if (e.code === "Space") show.toggle();
    else if (e.code === "ArrowLeft") show.jump(-JUMP_MS);
    else if (e.code === "ArrowRight") show.jump(JUMP_MS);
    else if (e.code === "KeyF") toggleFullScreen();
    else return;
    e.preventDefault();
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
  return followVisibility;
}
