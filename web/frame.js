// Saving the frame on screen: the program hands over the canvas just after it has drawn or
// shown the frame again, with the picture's rectangle in it; the picture alone, at its size on
// screen, becomes a PNG file named after the show and the moment, e.g. quenrastilan-2m51.000s.png.
export function saveFrame(canvas, x, y, width, height, ms) {
  const picture = document.createElement("canvas");
  picture.width = width;
  picture.height = height;
  // drawImage copies the canvas now, while its drawing is still there to read.
  picture.getContext("2d").drawImage(canvas, x, y, width, height, 0, 0, width, height);
  const s = Math.floor(ms / 1000);
  const name = `quenrastilan-${Math.floor(s / 60)}m${String(s % 60).padStart(2, "0")}.` +
               `${String(ms % 1000).padStart(3, "0")}s.png`;
  picture.toBlob((blob) => {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(blob);
    link.download = name;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  }, "image/png");
}
