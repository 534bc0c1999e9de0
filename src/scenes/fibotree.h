// The Fibonacci trees scene's data and its pure parts, reachable by tests without GL.
#ifndef QUENRASTILAN_SCENES_FIBOTREE_H
#define QUENRASTILAN_SCENES_FIBOTREE_H

#include "math/list.h"
#include "math/vector.h"
#include "render/batch.h"

const int FIBO_TREES = 100;
const int FIBO_LAST_LEVEL = 6;

// One line segment of a tree.
struct FiboBranch {
    Vector from;  // the parent's end point, or the origin for the root
    Vector to;
    int level;    // 0 for the root up to FIBO_LAST_LEVEL for the tips
};

// One tree, drawn within its own window [start, end] of the scene.
class FiboTree {
public:
    float start;
    float end;
    Lista* branches;  // FiboBranch payloads in creation order (depth first); owned

    // Grows level by level from the root in the first 11 % of the window and withdraws in the
    // last 11 %; the level being added or removed is drawn in blue. fibotree() calls it with the
    // batch of the scene's vertex and colour arrays, which the tree fills and draws.
    void draw(float t, float alpha, const VertexBatch& batch);
};

extern int maxfibo;              // 100
extern int* fibonaccinumbers;    // maxfibo entries 1, 1, 2, 3, 5, ...; only 0 to 6 are read
extern FiboTree** trees;         // FIBO_TREES

// Appends to list, depth first, fibonaccinumbers[level] branches of length 0.8 (last - level + 1)
// from `from` in random directions, each followed by its own subtree down to level `last`.
void fibotree_recurse(Lista* list, Vector& from, int level, int last);

// The colour of a branch of level l in a tree whose growth is L whole levels plus frac of the
// next, at opacity A: whole levels black, the growing one blue and faint, the rest not drawn
// (returns false).
bool fiboBranchColour(int l, int L, float frac, float A, float rgba[4]);

#endif
