// Scene: Platonic solids, 27 - 40 s. Not built yet: it draws nothing.
#include "scenes/scenes.h"

void platon_init() {}
void platon(float) {}
void platon_free() {}
