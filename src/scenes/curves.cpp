// Scene: growing curves, 145 - 159 s. Not built yet: it draws nothing.
#include "scenes/scenes.h"

void curves_init() {}
void curves(float) {}
void curves_free() {}
