// The show's picture: one 4:3 image designed at 1024x768, drawn into the largest 4:3 rectangle
// of whatever drawable the show is given (a full screen, a window, a capture), centred, with
// black bars outside it. Every size the show gives in pixels (point sizes, line widths, the
// viewport) is a size in the 1024x768 design and is scaled here by the picture's height / 768,
// so the show looks the same at any size; at 1024x768 nothing is scaled.
#ifndef QUENRASTILAN_RENDER_PICTURE_H
#define QUENRASTILAN_RENDER_PICTURE_H

// The design size: the picture is this wide and high when it is drawn 1:1.
const int PICTURE_WIDTH = 1024;
const int PICTURE_HEIGHT = 768;

struct Picture {
    int drawableWidth = PICTURE_WIDTH, drawableHeight = PICTURE_HEIGHT;
    // The picture's rectangle in the drawable, in GL window coordinates (origin bottom left).
    int x = 0, y = 0, width = PICTURE_WIDTH, height = PICTURE_HEIGHT;
    // Design pixels to drawable pixels: height / 768, exactly 1 at 1024x768.
    float scale = 1.0f;

    bool fillsDrawable() const { return width == drawableWidth && height == drawableHeight; }
};

// The picture that fits a drawable of width x height (both at least 1).
Picture picture_fit(int drawableWidth, int drawableHeight);

// The picture everything is drawn into from now on; 1024x768 until set. Reads the driver's
// point size and line width limits, so it needs a current GL context.
void picture_set_drawable(int drawableWidth, int drawableHeight);
const Picture& picture();

// glPointSize and glLineWidth of a size in design pixels: scaled to the picture and held
// within what the driver can draw.
void picturePointSize(float designPixels);
void pictureLineWidth(float designPixels);

#endif
