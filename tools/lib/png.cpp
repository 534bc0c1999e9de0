// PNG files through libpng's simplified API.
#include "lib/png.h"

#include "lib/outfile.h"

#include <png.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

// The image is encoded in memory and then written, so that a failed write says why in the
// operating system's words ("No space left on device"), not libpng's ("Write Error").
bool writePNG(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
              std::string& error, bool replace)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)width;
    image.height = (png_uint_32)height;
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    std::vector<unsigned char> bytes;
    bool ok = png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), width * 3, nullptr) != 0;
    if (ok) {
        bytes.resize(size);
        ok = png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb.data(), width * 3, nullptr) != 0;
    }
    if (!ok) {
        error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return writeOutputFile(path, [&](FILE* f) {
        if (std::fwrite(bytes.data(), 1, size, f) != size) {
            error = path + ": " + std::strerror(errno);
            return false;
        }
        return true;
    }, error, replace);
}

bool readPNG(const std::string& path, int& width, int& height, std::vector<unsigned char>& rgb,
             std::string& error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    width = (int)image.width;
    height = (int)image.height;
    rgb.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}
