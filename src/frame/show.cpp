// The show's start-up, frame pass and shutdown, shared by the program and its tools.
#include "frame/show.h"

#include "frame/timeline.h"
#include "render/font.h"
#include "render/texture.h"
#include "scenes/scene_table.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdio>

const int OPENGL_XRES = 1024;
const int OPENGL_YRES = 768;
Vector clearcolor;
int debugflag = 0;

void show_resources_init()
{
    textures_init();
    font_init();
    clearcolor = Vector(1, 1, 1);
}

void show_startup_frame()
{
    glClearColor(clearcolor.x, clearcolor.y, clearcolor.z, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, 1024, 768);
    glScalef(0.02f, 0.02f, 0.02f);
    // GL's initial colour is white and the blend function one/zero, which would write the
    // text white on white: draw it black and blended so it shows.
    glColor4f(0, 0, 0, 1);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    font_write(-0.9f, -0.9f, "please wait...");
    glColor4f(1, 1, 1, 1);
    glBlendFunc(GL_ONE, GL_ZERO);
}

void show_init()
{
    for (const Scene* s : SCENE_INIT_ORDER)
        s->init();
}

void show_frame_setup()
{
    glEnable(GL_POINT_SMOOTH);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glClearColor(clearcolor.x, clearcolor.y, clearcolor.z, 1.0f);
    glLineWidth(1.0f);
    glDepthMask(GL_TRUE);  // before the clear, so depth is cleared even after a frame without writes
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, OPENGL_XRES, OPENGL_YRES);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, (float)OPENGL_XRES / (float)OPENGL_YRES, 0.01, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void show_frame_scenes(int time)
{
    for (const Scene& s : SCENES)
        if (testaaPos(time, s.range))
            s.draw(laskePos(time, s.range));
}

void show_frame_overlay(int time)
{
    if (!debugflag)
        return;
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glColor3f(0, 0, 0);
    char text[32];
    std::snprintf(text, sizeof text, "aika = %d", time);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glTranslatef(0, 0, -5);
    // Near the top left corner, inside the screen.
    font_write(-3.0f, 0.9f, text);
}

void show_frame(int time)
{
    show_frame_setup();
    show_frame_scenes(time);
    show_frame_overlay(time);
}

NoRaster::NoRaster()
{
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 0, 0);
}

NoRaster::~NoRaster()
{
    glDisable(GL_SCISSOR_TEST);
}

void show_free()
{
    for (const Scene* s : SCENE_FREE_ORDER)
        s->free();
}

void show_resources_free()
{
    textures_free();
    font_free();
}
