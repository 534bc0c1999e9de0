// Scene: Lorenz attractor, 93 - 106 s. Not built yet: it draws nothing.
#include "scenes/scenes.h"

void lorentz_init() {}
void lorentz(float) {}
void lorentz_free() {}
