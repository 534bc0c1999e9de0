// Particle flows, the common part of the converging flow and vector field scenes: a population
// of Floaters carried by the scene's field, each leaving a red streak, every dead one replaced at
// once by a newborn. The scene gives the field, the camera and the fade; this walks and draws.
#ifndef QUENRASTILAN_SCENES_FLOW_H
#define QUENRASTILAN_SCENES_FLOW_H

#include "math/floater.h"
#include "math/list.h"
#include "math/vector.h"

#include <functional>

struct Flow {
    // Fixed by the scene.
    int population;    // particles after flowInit, and always afterwards
    bool threeD;       // born in the cube of half-edge radius, or in that square of the plane y = 0
    float radius;      // also the bound outside which a particle ages five times faster
    float life;        // the life given to Floater: particles live 0.3 u + 0.7 life
    float speed;       // the field's velocity is multiplied by this
    float stepFactor;  // a frame's step is this times the change of scene position

    // Owned from flowInit to flowFree.
    Lista* floaterlist = nullptr;  // the particles (Floater*)
    float previousframe = 0.0f;    // the scene position of the previous frame, 0 after init
    Floater** drawn = nullptr;     // a frame's survivors in walk order, room for population
    Vector* vertices = nullptr;    // their streaks: 2 vertices and 8 colour floats each
    float* colours = nullptr;
};

// A scene's field at (x, y, z) for the frame being walked, before the speed factor.
using FlowField = std::function<Vector(float x, float y, float z)>;

// Fills the list with `population` newborns: no setSeed, their randFloat draws continue the
// sequence where the inits before left it.
void flowInit(Flow& flow);
void flowFree(Flow& flow);

// One frame's walk with a step of `step`: every particle but the first is moved by the field and
// aged; a dead one is replaced by a newborn at the end of the list. The survivors, in walk
// order, go to flow.drawn; returns how many.
int flowAdvance(Flow& flow, float step, const FlowField& field);

// One frame's walk at scene position pos, with the step from the previous frame's position;
// returns how many survived into flow.drawn. Draws nothing.
int flowStep(Flow& flow, float pos, const FlowField& field);

// One frame of the flow at scene position pos, under the camera the scene has set: the GL
// state of the streaks, flowStep, and the survivors' streaks with alpha `fade`.
void flowDraw(Flow& flow, float pos, float fade, const FlowField& field);

// The streaks of floaters[0..n) in one glDrawArrays(GL_LINES) from vertices and colours (room
// for 2n points): the same lines in the same order as draw() on each inside glBegin(GL_LINES).
void drawStreaks(Floater* const* floaters, int n, float alpha, Vector* vertices, float* colours);

#endif
