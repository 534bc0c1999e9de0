// Scene: converging particle flow, 159 - 172 s. Not built yet: it draws nothing.
#include "scenes/scenes.h"

void converge_init() {}
void converge(float) {}
void converge_free() {}
