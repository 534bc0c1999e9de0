// The scene table and the start-up and shutdown orders over it.
#include "scenes/scene_table.h"

#include "scenes/scenes.h"

#include <cctype>
#include <cstring>
#include <stdexcept>

constexpr Scene SCENES[SCENE_COUNT] = {
    // name      title                          first ms  last ms   init            draw      free            advance (carries state)
    {"alku",     "Typed credits",               {0,       29000},   alku_init,      alku,     alku_free,      nullptr},
    {"platon",   "Spinning Platonic solids",    {27000,   40000},   platon_init,    platon,   platon_free,    nullptr},
    {"pot2d",    "Potential field",             {40000,   66000},   pot2d_init,     pot2d,    pot2d_free,     pot2d_advance},
    {"newton",   "Newton fractal",              {66000,   94000},   newton_init,    newton,   newton_free,    nullptr},
    {"lorentz",  "Lorenz attractor",            {93000,   106000},  lorentz_init,   lorentz,  lorentz_free,   nullptr},
    {"rossler",  "Rossler attractor",           {105000,  120000},  rossler_init,   rossler,  rossler_free,   nullptr},
    {"dla",      "Diffusion-limited aggregate", {119000,  132000},  dla_init,       dla,      dla_free,       nullptr},
    {"cell",     "Cells with greetings",        {132000,  145000},  cell_init,      cell,     cell_free,      nullptr},
    {"curves",   "Growing curves",              {145000,  159000},  curves_init,    curves,   curves_free,    nullptr},
    {"converge", "Converging particle flow",    {159000,  172000},  converge_init,  converge, converge_free,  converge_advance},
    {"fibotree", "Fibonacci trees",             {171000,  199000},  fibotree_init,  fibotree, fibotree_free,  nullptr},
    {"iterator", "Iterated-map clouds",         {198500,  225000},  iterator_init,  iterator, iterator_free,  iterator_advance},
    {"field",    "Vector field flow",           {225000,  244000},  field_init,     field,    field_free,     field_advance},
};

// The row of that name; a name not in the table stops the build where an order names it.
static constexpr const Scene* scene(const char* name)
{
    for (const Scene& s : SCENES) {
        int i = 0;
        while (s.name[i] != '\0' && s.name[i] == name[i])
            i++;
        if (s.name[i] == name[i])
            return &s;
    }
    throw std::logic_error("no scene of that name");
}

// True when the order names every scene exactly once.
static constexpr bool namesEachSceneOnce(const Scene* const (&order)[SCENE_COUNT])
{
    for (const Scene& s : SCENES) {
        int seen = 0;
        for (const Scene* o : order)
            seen += o == &s;
        if (seen != 1)
            return false;
    }
    return true;
}

constexpr const Scene* SCENE_INIT_ORDER[SCENE_COUNT] = {
    scene("alku"),     scene("fibotree"), scene("platon"), scene("pot2d"),  scene("newton"),
    scene("lorentz"),  scene("rossler"),  scene("converge"), scene("field"), scene("cell"),
    scene("curves"),   scene("iterator"), scene("dla"),
};
static_assert(namesEachSceneOnce(SCENE_INIT_ORDER), "the start-up order must init every scene once");

constexpr const Scene* SCENE_FREE_ORDER[SCENE_COUNT] = {
    scene("alku"),     scene("platon"),   scene("pot2d"),  scene("newton"),  scene("lorentz"),
    scene("rossler"),  scene("fibotree"), scene("converge"), scene("field"), scene("cell"),
    scene("curves"),   scene("iterator"), scene("dla"),
};
static_assert(namesEachSceneOnce(SCENE_FREE_ORDER), "the shutdown order must free every scene once");

const Scene* scene_named(const char* name)
{
    for (const Scene& s : SCENES)
        if (std::strcmp(s.name, name) == 0)
            return &s;
    return nullptr;
}

const Scene* scene_called(const char* nameOrTitle)
{
    if (const Scene* s = scene_named(nameOrTitle))
        return s;
    for (const Scene& s : SCENES) {
        size_t i = 0;
        while (s.title[i] != '\0' &&
               std::tolower((unsigned char)s.title[i]) == std::tolower((unsigned char)nameOrTitle[i]))
            i++;
        if (s.title[i] == '\0' && nameOrTitle[i] == '\0')
            return &s;
    }
    return nullptr;
}

std::string scene_table_text()
{
    std::string text;
    for (const Scene& s : SCENES)
        text += std::string(s.name) + " " + std::to_string(s.range[0]) + " " + std::to_string(s.range[1]) + " " +
                s.title + "\n";
    return text;
}
