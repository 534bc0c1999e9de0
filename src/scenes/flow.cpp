// Particle flows: the population's birth, the walk that moves, kills and replaces particles, and
// the streaks of the survivors.
#include "scenes/flow.h"

#include "render/batch.h"
#include "render/picture.h"

#include <GL/gl.h>

static Floater* newborn(const Flow& flow)
{
    return new Floater(flow.threeD, flow.life, flow.radius);
}

void flowInit(Flow& flow)
{
    flow.previousframe = 0.0f;
    flow.floaterlist = new Lista;
    for (int i = 0; i < flow.population; i++)
        flow.floaterlist->add(newborn(flow));
    flow.drawn = new Floater*[flow.population];
    flow.vertices = new Vector[2 * flow.population];
    flow.colours = new float[8 * flow.population];
}

void flowFree(Flow& flow)
{
    flow.floaterlist->destroy();
    delete flow.floaterlist;
    flow.floaterlist = nullptr;
    delete[] flow.drawn;
    flow.drawn = nullptr;
    delete[] flow.vertices;
    flow.vertices = nullptr;
    delete[] flow.colours;
    flow.colours = nullptr;
}

int flowAdvance(Flow& flow, float step, const FlowField& field)
{
    Lista* list = flow.floaterlist;
    // With a step this long (a jump into the scene, a stall of seconds) every newborn dies on
    // its first move, and the last particle's replacement would be replaced for ever. The
    // longest life is the one born of a first draw of 1.0.
    bool newbornsDie = step >= 1.0f * 0.3f + flow.life * 0.7f;
    int count = 0;

    // The walk starts at the second particle: the first is never moved or drawn.
    list->goToStart();
    while (list->goForward()) {
        Floater* f = (Floater*)list->getCurrent();
        Vector v = field(f->position.x, f->position.y, f->position.z) * flow.speed;
        if (f->update(step, flow.radius, v)) {
            flow.drawn[count++] = f;
            continue;
        }
        // remove() moves the cursor to the next particle, which goForward() then passes over
        // this frame; the newborn at the end of the list is reached in this same frame. When the
        // last particle died, the cursor falls back to its predecessor and goes on to the newborn.
        bool wasLast = list->isAtEnd();
        list->remove();
        list->add(newborn(flow));
        if (wasLast && newbornsDie)
            break;
    }
    return count;
}

int flowStep(Flow& flow, float pos, const FlowField& field)
{
    float dt = pos - flow.previousframe;
    flow.previousframe = pos;
    return flowAdvance(flow, flow.stepFactor * dt, field);
}

void flowDraw(Flow& flow, float pos, float fade, const FlowField& field)
{
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    pictureLineWidth(3.0f);

    int n = flowStep(flow, pos, field);
    drawStreaks(flow.drawn, n, fade, flow.vertices, flow.colours);
}

void drawStreaks(Floater* const* floaters, int n, float alpha, Vector* vertices, float* colours)
{
    for (int i = 0; i < n; i++)
        floaters[i]->streak(alpha, vertices + 2 * i, colours + 8 * i);
    VertexBatch(vertices, colours).draw(GL_LINES, 2 * n);
}
