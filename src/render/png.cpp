// PNG files through libpng's simplified API.
#include "render/png.h"

#include <png.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

// Writes the image to an open stream; false with the reason in error.
static bool writeStream(FILE* f, const std::string& path, int width, int height,
                        const std::vector<unsigned char>& rgb, std::string& error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)width;
    image.height = (png_uint_32)height;
    image.format = PNG_FORMAT_RGB;
    bool ok = png_image_write_to_stdio(&image, f, 0, rgb.data(), width * 3, nullptr) != 0;
    if (!ok)
        error = path + ": " + image.message;
    png_image_free(&image);
    if (ok && (std::fflush(f) != 0 || std::ferror(f))) {
        error = path + ": " + std::strerror(errno);
        ok = false;
    }
    return ok;
}

bool writePNG(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb,
              std::string& error)
{
    // Something that is not a regular file (a device, a pipe) is written in place and never
    // removed. A file is written under a temporary name and renamed when complete, so a failed
    // write leaves no file that looks whole.
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) {
            error = path + ": " + std::strerror(errno);
            return false;
        }
        bool ok = writeStream(f, path, width, height, rgb, error);
        if (std::fclose(f) != 0 && ok) {
            error = path + ": " + std::strerror(errno);
            ok = false;
        }
        return ok;
    }
    std::string temp = path + ".partial-XXXXXX";
    int fd = mkstemp(&temp[0]);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    fchmod(fd, 0644);
    FILE* f = fdopen(fd, "wb");
    if (!f) {
        error = path + ": " + std::strerror(errno);
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    bool ok = writeStream(f, path, width, height, rgb, error);
    if (std::fclose(f) != 0 && ok) {
        error = path + ": " + std::strerror(errno);
        ok = false;
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(errno);
        ok = false;
    }
    if (!ok)
        unlink(temp.c_str());
    return ok;
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
