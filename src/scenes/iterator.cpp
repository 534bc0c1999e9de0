// Scene: iterated-map clouds, 198.5 - 225 s. Not built yet: it draws nothing.
#include "scenes/scenes.h"

void iterator_init() {}
void iterator(float) {}
void iterator_free() {}
