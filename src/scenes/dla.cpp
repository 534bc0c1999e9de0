// Scene: diffusion-limited aggregation, 119 - 132 s. Not built yet: it draws nothing.
#include "scenes/scenes.h"

void dla_init() {}
void dla(float) {}
void dla_free() {}
