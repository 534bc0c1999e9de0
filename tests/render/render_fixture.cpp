// The headless context shared by the render tests.
#include "render_fixture.h"

#include "frame/show.h"
#include "frame/timeline.h"
#include "scenes/scene_table.h"

#include <algorithm>
#include <cstdlib>

HeadlessContext* RenderTest::gl = nullptr;

void RenderTest::SetUpTestSuite()
{
    if (gl)
        return;
    gl = new HeadlessContext;
    if (!gl->open()) {
        std::fprintf(stderr, "render tests: %s\n", gl->error().c_str());
        std::abort();
    }
    show_resources_init();
}

std::vector<unsigned char> RenderTest::showAt(int time)
{
    show_frame(time);
    return frame();
}

Box RenderTest::darkBox(const std::vector<unsigned char>& rgb, int threshold)
{
    Box b{HeadlessContext::WIDTH, HeadlessContext::HEIGHT, -1, -1, 0};
    for (int y = 0; y < HeadlessContext::HEIGHT; y++)
        for (int x = 0; x < HeadlessContext::WIDTH; x++) {
            const unsigned char* p = &rgb[((size_t)y * HeadlessContext::WIDTH + x) * 3];
            if (std::min({p[0], p[1], p[2]}) <= threshold) {
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.top = std::min(b.top, y);
                b.bottom = std::max(b.bottom, y);
                b.count++;
            }
        }
    return b;
}

int RenderTest::redPixels(const std::vector<unsigned char>& rgb)
{
    int red = 0;
    for (size_t i = 0; i < rgb.size(); i += 3)
        red += rgb[i] > 200 && rgb[i + 1] < 120 && rgb[i + 2] < 120;
    return red;
}

std::vector<unsigned char> ShowRenderTest::alone(const char* scene, int time)
{
    const Scene* s = scene_named(scene);
    EXPECT_NE(s, nullptr) << scene;
    show_frame(244500);  // no scene at this time: a cleared frame with the loop's GL state
    s->draw(laskePos(time, s->range));
    return frame();
}
