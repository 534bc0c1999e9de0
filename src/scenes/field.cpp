// Scene: vector field flow, 225 - 244 s. Not built yet: it draws nothing.
#include "scenes/scenes.h"

void field_init() {}
void field(float) {}
void field_free() {}
