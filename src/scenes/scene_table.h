// The scene table: the one list of the show's scenes, read by the frame loop, the tools and the
// tests alike. Adding a scene is one new source file and one row in scene_table.cpp.
#ifndef QUENRASTILAN_SCENES_SCENE_TABLE_H
#define QUENRASTILAN_SCENES_SCENE_TABLE_H

#include <string>

struct Scene {
    const char* name;     // the scene's file and function name: "alku" draws with alku(pos)
    const char* title;    // what a viewer calls it: "Typed credits"
    int range[2];         // show time in ms when it is drawn, both ends inclusive
    void (*init)();       // once at start-up, in SCENE_INIT_ORDER
    void (*draw)(float);  // one frame at the scene position: 0 at range[0], 1 at range[1]
    void (*free)();       // once at shutdown, in SCENE_FREE_ORDER
    // Set for a scene that carries state from frame to frame (its frame depends on the frames
    // drawn before it, its own or the shared random generators', so it must be run frame by
    // frame to reach a time): one frame's change of that state at a position, without drawing;
    // what draw does to the state, and nothing else. Null for the scenes that derive everything
    // from the position.
    void (*advance)(float);

    bool carriesState() const { return advance != nullptr; }
};

const int SCENE_COUNT = 13;

// In timeline order, which is also the order scenes are drawn in within a frame: a scene
// drawn in the same frame as another (an overlap) is drawn over it.
extern const Scene SCENES[SCENE_COUNT];

// The start-up order. Several inits draw from the shared random generators without seeding
// them, so this order (and each earlier init's exact number of draws) fixes their layouts.
extern const Scene* const SCENE_INIT_ORDER[SCENE_COUNT];
// The shutdown order.
extern const Scene* const SCENE_FREE_ORDER[SCENE_COUNT];

// The scene of that name, or null.
const Scene* scene_named(const char* name);
// The scene of that name, or of that title in any case ("lorenz attractor"), or null.
const Scene* scene_called(const char* nameOrTitle);

// The table as text, a scene a line: its name, first and last ms and title ("alku 0 29000 Typed
// credits"), as `quenrastilan --list-scenes` prints it for the tools outside the program and the
// page reads it. The title, last, is the rest of the line.
std::string scene_table_text();

#endif
