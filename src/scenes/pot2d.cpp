// Scene: potential field, 40 - 66 s. Not built yet: it draws nothing.
#include "scenes/scenes.h"

void pot2d_init() {}
void pot2d(float) {}
void pot2d_free() {}
