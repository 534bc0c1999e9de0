// Scene: cells with greetings, 132 - 145 s. Not built yet: it draws nothing.
#include "scenes/scenes.h"

void cell_init() {}
void cell(float) {}
void cell_free() {}
