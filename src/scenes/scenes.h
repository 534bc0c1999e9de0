// The thirteen scenes' functions: each an init called once at start-up, a draw function that takes
// the scene position (0 at the start of its timeline range, 1 at the end) and a free called at
// shutdown; the four whose frames build on the frames before them (their own state, or the
// shared random generators) also an advance, which does a frame's change of that state without
// drawing. The scene table (scene_table.h) lists them with their ranges and orders.
#ifndef QUENRASTILAN_SCENES_SCENES_H
#define QUENRASTILAN_SCENES_SCENES_H

void alku_init();
void alku(float pos);
void alku_free();

void platon_init();
void platon(float pos);
void platon_free();

void pot2d_init();
void pot2d(float pos);
void pot2d_advance(float pos);
void pot2d_free();

void newton_init();
void newton(float pos);
void newton_free();

void lorentz_init();
void lorentz(float pos);
void lorentz_free();

void rossler_init();
void rossler(float pos);
void rossler_free();

void dla_init();
void dla(float pos);
void dla_free();

void cell_init();
void cell(float pos);
void cell_free();

void curves_init();
void curves(float pos);
void curves_free();

void converge_init();
void converge(float pos);
void converge_advance(float pos);
void converge_free();

void fibotree_init();
void fibotree(float pos);
void fibotree_free();

void iterator_init();
void iterator(float pos);
void iterator_advance(float pos);
void iterator_free();

void field_init();
void field(float pos);
void field_advance(float pos);
void field_free();

#endif
