// The thirteen scenes: each an init called once at start-up, a draw function that takes the
// scene position (0 at the start of its timeline range, 1 at the end) and a free called at shutdown.
#ifndef QUENRASTILAN_SCENES_SCENES_H
#define QUENRASTILAN_SCENES_SCENES_H

void alku_init();     // opening credits, 0 - 29 s
void alku(float pos);
void alku_free();

void platon_init();   // Platonic solids, 27 - 40 s
void platon(float pos);
void platon_free();

void pot2d_init();    // potential field, 40 - 66 s
void pot2d(float pos);
void pot2d_free();

void newton_init();   // Newton fractal, 66 - 94 s
void newton(float pos);
void newton_free();

void lorentz_init();  // Lorenz attractor, 93 - 106 s
void lorentz(float pos);
void lorentz_free();

void rossler_init();  // Rossler attractor, 105 - 120 s
void rossler(float pos);
void rossler_free();

void dla_init();      // diffusion-limited aggregation, 119 - 132 s
void dla(float pos);
void dla_free();

void cell_init();     // cells with greetings, 132 - 145 s
void cell(float pos);
void cell_free();

void curves_init();   // growing curves, 145 - 159 s
void curves(float pos);
void curves_free();

void converge_init(); // converging particle flow, 159 - 172 s
void converge(float pos);
void converge_free();

void fibotree_init(); // Fibonacci trees, 171 - 199 s
void fibotree(float pos);
void fibotree_free();

void iterator_init(); // iterated-map clouds, 198.5 - 225 s
void iterator(float pos);
void iterator_free();

void field_init();    // vector field flow, 225 - 244 s
void field(float pos);
void field_free();

#endif
