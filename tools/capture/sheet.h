// The contact sheet: a thumbnail of each scene with its name and time, on one image.
#ifndef QUENRASTILAN_CAPTURE_SHEET_H
#define QUENRASTILAN_CAPTURE_SHEET_H

#include <string>
#include <vector>

struct SheetCell {
    std::string label;                 // e.g. "newton 80.0 s"
    std::vector<unsigned char> frame;  // a whole RGB frame, top row first
    int width, height;                 // the frame's size
};

// Lays the cells out four to a row, each frame shrunk to 256 pixels wide (a quarter of a
// 1024x768 frame) with its label below it, under a title line. Returns the RGB image and its
// size.
std::vector<unsigned char> makeSheet(const std::vector<SheetCell>& cells, const std::string& title, int& width,
                                     int& height);

#endif
