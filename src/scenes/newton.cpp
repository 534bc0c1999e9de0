// Scene: Newton fractal, 66 - 94 s. Not built yet: it draws nothing.
#include "scenes/scenes.h"

void newton_init() {}
void newton(float) {}
void newton_free() {}
