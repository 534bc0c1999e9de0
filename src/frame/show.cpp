// The show's start-up, frame pass and shutdown, shared by the program and its tools.
#include "frame/show.h"

#include "frame/timeline.h"
#include "math/random.h"
#include "render/font.h"
#include "render/picture.h"
#include "render/texture.h"
#include "scenes/scene_table.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>

const int OPENGL_XRES = PICTURE_WIDTH;
const int OPENGL_YRES = PICTURE_HEIGHT;
Vector clearcolor;
int debugflag = 0;

// False while a NoRaster lives.
static bool rasterising = true;

// Clears the drawable: black bars where the picture does not reach, the picture itself in
// clearcolor, and leaves the scissor box on the picture (or empty, while not rasterising) so
// that no wide point or line drawn near the picture's edge spills into the bars. When the
// picture fills the drawable the scissor test is never touched, as in a 1024x768 show.
static void clearDrawable(GLbitfield buffers)
{
    const Picture& p = picture();
    if (!rasterising) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 0, 0);
    } else if (!p.fillsDrawable()) {
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(p.x, p.y, p.width, p.height);
    }
    glClearColor(clearcolor.x, clearcolor.y, clearcolor.z, 1.0f);
    glClear(buffers);
    glViewport(p.x, p.y, p.width, p.height);
}

// Mesa's software renderer allocates tens of megabytes while drawing a frame (the binned
// triangles of every tile) and frees them when it is done. The C library would hand that memory
// back to the kernel after every frame and fault it in again, page by page, in the next: up to
// 2,500 page faults a frame, a sixth of the time of the line scenes. Keeping up to 128 MB free
// at the top of the heap, and serving blocks of up to 4 MB from it, lets every frame reuse the
// last one's memory; larger blocks (the start-up's scratch lattices) are still mapped and given
// back whole, and the peak stays where it was.
static void keepFreedMemory()
{
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
}

void show_resources_init()
{
    keepFreedMemory();
    textures_init();
    font_init();
    clearcolor = Vector(1, 1, 1);
}

void show_startup_frame()
{
    clearDrawable(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
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
    pictureLineWidth(1.0f);
    glDepthMask(GL_TRUE);  // before the clear, so depth is cleared even after a frame without writes
    clearDrawable(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

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
    rasterising = false;
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 0, 0);
}

NoRaster::~NoRaster()
{
    rasterising = true;
    glDisable(GL_SCISSOR_TEST);
}

void show_restart()
{
    show_free();
    // The generators as the program starts: the C library's is seeded with 1 until srand.
    SEED = SEED_AT_START;
    std::srand(1);
    show_init();
}

bool show_bring_to(int fromMs, int toMs, int fps, const volatile std::sig_atomic_t* stop)
{
    if (toMs < fromMs) {
        show_restart();
        fromMs = -1;
    }
    // Frame by frame, in the frame's scene order, as the frames would have drawn them: scenes
    // share the random generators, so one scene's draws shape the next one's.
    for (long long n = ((long long)fromMs + 1) * fps / 1000;; n++) {
        int t = (int)(n * 1000 / fps);
        if (t >= toMs)
            return true;
        if (t <= fromMs)
            continue;
        if (stop && *stop)
            return false;
        for (const Scene& s : SCENES)
            if (s.carriesState() && testaaPos(t, s.range))
                s.advance(laskePos(t, s.range));
    }
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
