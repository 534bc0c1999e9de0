// The timeline walk's two functions, in single precision.
#include "frame/timeline.h"

#include "scenes/scene_table.h"

int testaaPos(int time, const int* range)
{
    return (range[0] <= time && time <= range[1]) ? 1 : 0;
}

float laskePos(int time, const int* range)
{
    if (time <= range[0])
        return 0.0f;
    if (time >= range[1])
        return 1.0f;
    return (float)(time - range[0]) / (float)(range[1] - range[0]);
}

std::string scenesAt(int time, const char* separator)
{
    std::string titles;
    for (const Scene& s : SCENES)
        if (testaaPos(time, s.range))
            titles += (titles.empty() ? "" : separator) + std::string(s.title);
    return titles;
}
