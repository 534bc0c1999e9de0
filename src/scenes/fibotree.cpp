// Scene: Fibonacci trees, 171 - 199 s. Not built yet: it draws nothing.
#include "scenes/scenes.h"

void fibotree_init() {}
void fibotree(float) {}
void fibotree_free() {}
