// The picture's rectangle in the drawable and the scaling of sizes given in pixels.
#include "render/picture.h"

#include <GL/gl.h>

static Picture current;
// The largest smooth point size and line width the driver draws; 0 until asked.
static float maxPointSize = 0.0f, maxLineWidth = 0.0f;

Picture picture_fit(int drawableWidth, int drawableHeight)
{
    Picture p;
    p.drawableWidth = drawableWidth;
    p.drawableHeight = drawableHeight;
    // Height-limited unless the drawable is narrower than 4:3; rounded to whole pixels.
    if ((long long)drawableWidth * PICTURE_HEIGHT >= (long long)drawableHeight * PICTURE_WIDTH) {
        p.height = drawableHeight;
        p.width = (int)(((long long)drawableHeight * PICTURE_WIDTH + PICTURE_HEIGHT / 2) / PICTURE_HEIGHT);
    } else {
        p.width = drawableWidth;
        p.height = (int)(((long long)drawableWidth * PICTURE_HEIGHT + PICTURE_WIDTH / 2) / PICTURE_WIDTH);
    }
    p.x = (drawableWidth - p.width) / 2;
    p.y = (drawableHeight - p.height) / 2;
    p.scale = (float)p.height / (float)PICTURE_HEIGHT;
    return p;
}

void picture_set_drawable(int drawableWidth, int drawableHeight)
{
    current = picture_fit(drawableWidth, drawableHeight);
    GLfloat range[2] = {0.0f, 0.0f};
    glGetFloatv(GL_SMOOTH_POINT_SIZE_RANGE, range);
    maxPointSize = range[1];
    glGetFloatv(GL_SMOOTH_LINE_WIDTH_RANGE, range);
    maxLineWidth = range[1];
}

const Picture& picture()
{
    return current;
}

// A design size scaled to the picture; at scale 1 exactly the size given. Above the driver's
// limit the driver would clamp it anyway; clamping here keeps that visible in one place.
static float scaled(float designPixels, float limit)
{
    float size = designPixels * current.scale;
    return limit > 0.0f && size > limit ? limit : size;
}

void picturePointSize(float designPixels)
{
    glPointSize(scaled(designPixels, maxPointSize));
}

void pictureLineWidth(float designPixels)
{
    glLineWidth(scaled(designPixels, maxLineWidth));
}
