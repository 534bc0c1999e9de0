// Writing RGB images as PNG files.
#ifndef QUENRASTILAN_TOOLS_PNG_H
#define QUENRASTILAN_TOOLS_PNG_H

#include <string>
#include <vector>

// Writes width x height RGB pixels (top row first) to path. A regular file appears only when
// complete, and replaces a file already there only when `replace`; on failure returns false
// with the reason in error.
bool writePNG(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
              std::string& error, bool replace = true);
// Reads an 8-bit RGB or RGBA PNG as RGB; false with the reason in error on failure.
bool readPNG(const std::string& path, int& width, int& height, std::vector<unsigned char>& rgb,
             std::string& error);

#endif
