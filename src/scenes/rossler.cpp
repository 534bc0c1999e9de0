// Scene: Rossler attractor, 105 - 120 s. Not built yet: it draws nothing.
#include "scenes/scenes.h"

void rossler_init() {}
void rossler(float) {}
void rossler_free() {}
