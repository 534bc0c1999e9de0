// Reads 8-bit, non-interlaced PNG files (grey, RGB, RGBA) into RGB pixels, and compares two.
"use strict";
const fs = require("fs");
const zlib = require("zlib");

function readPng(path) {
  const file = fs.readFileSync(path);
  if (file.readUInt32BE(0) !== 0x89504e47) throw new Error(path + ": not a PNG file");
  let pos = 8, width = 0, height = 0, channels = 0;
  const idat = [];
  while (pos < file.length) {
    const length = file.readUInt32BE(pos);
    const type = file.toString("latin1", pos + 4, pos + 8);
    const data = file.subarray(pos + 8, pos + 8 + length);
    if (type === "IHDR") {
      width = data.readUInt32BE(0);
      height = data.readUInt32BE(4);
      const depth = data[8], colour = data[9], interlace = data[12];
      channels = {0: 1, 2: 3, 4: 2, 6: 4}[colour];
      if (depth !== 8 || !channels || interlace !== 0) throw new Error(path + ": unsupported PNG layout");
    } else if (type === "IDAT") {
      idat.push(data);
    }
    pos += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const stride = width * channels;
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; x++) {
      const a = x >= channels ? pixels[y * stride + x - channels] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? pixels[(y - 1) * stride + x - channels] : 0;
      let v = line[x];
      if (filter === 1) v += a;
      else if (filter === 2) v += b;
      else if (filter === 3) v += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        v += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      pixels[y * stride + x] = v & 255;
    }
  }
  const rgb = Buffer.alloc(width * height * 3);
  for (let i = 0; i < width * height; i++)
    for (let k = 0; k < 3; k++)
      rgb[i * 3 + k] = pixels[i * channels + (channels < 3 ? 0 : k)];
  return {width, height, rgb};
}

// How far apart two pictures of one size are, as a viewer sees them: the share of the
// block x block squares whose mean colour differs by more than `threshold` levels (0 to 255) in
// some channel, so that a line drawn half a pixel over does not count but a missing or
// misplaced shape does; and the mean absolute difference per pixel and channel.
function compare(a, b, block, threshold) {
  if (a.width !== b.width || a.height !== b.height)
    throw new Error(`sizes differ: ${a.width}x${a.height} and ${b.width}x${b.height}`);
  const columns = Math.floor(a.width / block), rows = Math.floor(a.height / block);
  let over = 0, sum = 0;
  for (let by = 0; by < rows; by++)
    for (let bx = 0; bx < columns; bx++) {
      const d = [0, 0, 0];
      for (let y = by * block; y < (by + 1) * block; y++)
        for (let x = bx * block; x < (bx + 1) * block; x++)
          for (let k = 0; k < 3; k++) {
            const i = (y * a.width + x) * 3 + k;
            d[k] += a.rgb[i] - b.rgb[i];
            sum += Math.abs(a.rgb[i] - b.rgb[i]);
          }
      if (Math.max(...d.map(Math.abs)) > threshold * block * block) over++;
    }
  return {overShare: over / (columns * rows), meanDiff: sum / (3 * columns * rows * block * block)};
}

module.exports = {readPng, compare};
