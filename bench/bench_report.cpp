// The benchmark's table and JSON.
#include "bench_report.h"

#include "lib/outfile.h"

#include <algorithm>

static const char* verdict(bool met) { return met ? "met" : "MISSED"; }

static double worstNoop(const BenchResults& r)
{
    double worst = 0;
    for (const auto& row : r.noopMs)
        worst = std::max(worst, *std::max_element(row, row + BENCH_POSITIONS));
    return worst;
}

void printTable(const BenchResults& r, FILE* out)
{
    std::fprintf(out, "Scene inits in start-up order, ms (median CPU time of %d start-ups)\n", r.starts);
    for (int i = 0; i < SCENE_COUNT; i++)
        std::fprintf(out, "  %-9s %8.2f\n", SCENE_INIT_ORDER[i]->name, r.initMs[i]);
    std::fprintf(out, "  %-9s %8.2f   target <= %.0f: %s\n\n", "total", r.initTotalMs, TARGET_INIT_TOTAL_MS,
                 verdict(r.initTotalMs <= TARGET_INIT_TOTAL_MS));

    std::fprintf(out, "Frame cost, ms, median of %d frames at 60 fps from each position\n", r.frames);
    std::fprintf(out, "%-9s | %-39s | %s\n", "", "no-op driver: CPU of the scene's draw",
                 "llvmpipe: whole 1024x768 frame");
    std::fprintf(out, "%-9s |", "position");
    for (int k = 0; k < 2; k++) {
        for (float p : BENCH_POSITION)
            std::fprintf(out, "%7.1f ", p);
        std::fprintf(out, k ? "\n" : "|");
    }
    for (int s = 0; s < SCENE_COUNT; s++) {
        std::fprintf(out, "%-9s |", SCENES[s].name);
        for (double ms : r.noopMs[s])
            std::fprintf(out, "%7.2f ", ms);
        std::fprintf(out, "|");
        for (double ms : r.fullMs[s])
            std::fprintf(out, "%7.1f ", ms);
        std::fprintf(out, "\n");
    }
    double worst = worstNoop(r);
    std::fprintf(out, "worst no-op median %.2f ms   target <= %.0f: %s\n\n", worst, TARGET_NOOP_FRAME_MS,
                 verdict(worst <= TARGET_NOOP_FRAME_MS));

    // What a viewer without a GPU gets: the median and the slowest of the five positions.
    std::fprintf(out, "llvmpipe frames per second (whole frames, from the median and the slowest position)\n");
    std::fprintf(out, "%-9s | %-15s | %s\n", "", "1024x768", "1440x1080");
    for (int s = 0; s < SCENE_COUNT; s++) {
        std::fprintf(out, "%-9s |", SCENES[s].name);
        for (const auto* ms : {r.fullMs[s], r.fullHdMs[s]}) {
            double sorted[BENCH_POSITIONS];
            std::copy(ms, ms + BENCH_POSITIONS, sorted);
            std::sort(sorted, sorted + BENCH_POSITIONS);
            std::fprintf(out, " %6.0f %6.0f  |", 1000.0 / sorted[BENCH_POSITIONS / 2], 1000.0 / sorted[BENCH_POSITIONS - 1]);
        }
        std::fprintf(out, "\n");
    }
    std::fprintf(out, "\n");

    if (r.peakMB >= 0)
        std::fprintf(out, "Peak resident memory of a whole run at 60 fps: %.1f MB   target <= %.0f: %s\n",
                     r.peakMB, TARGET_PEAK_MB, verdict(r.peakMB <= TARGET_PEAK_MB));
    else
        std::fprintf(out, "Peak resident memory of a whole run: not measured\n");
    double ratio = r.growthCountsMs > 0 ? r.growthTestMs / r.growthCountsMs : 0;
    std::fprintf(out,
                 "Aggregate of 25000 walkers (median CPU time of 5 runs): 26-neighbour test %.1f ms, "
                 "neighbour counts %.1f ms, %.1f times faster, aggregates %s   target >= %.1f: %s\n",
                 r.growthTestMs, r.growthCountsMs, ratio, r.aggregatesIdentical ? "identical" : "DIFFER",
                 TARGET_GROWTH_RATIO, verdict(r.aggregatesIdentical && ratio >= TARGET_GROWTH_RATIO));
}

static std::string number(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

static std::string row(const double (&ms)[BENCH_POSITIONS])
{
    std::string s = "[";
    for (int p = 0; p < BENCH_POSITIONS; p++)
        s += (p ? ", " : "") + number(ms[p]);
    return s + "]";
}

bool writeJson(const BenchResults& r, const std::string& path, std::string& error)
{
    std::string j = "{\n  \"inits_ms\": {";
    for (int i = 0; i < SCENE_COUNT; i++)
        j += std::string(i ? ", " : "") + "\"" + SCENE_INIT_ORDER[i]->name + "\": " + number(r.initMs[i]);
    j += "},\n  \"inits_total_ms\": " + number(r.initTotalMs) + ",\n  \"init_starts\": " +
         std::to_string(r.starts) + ",\n  \"positions\": [0.1, 0.3, 0.5, 0.7, 0.9],\n  \"frames_per_median\": " +
         std::to_string(r.frames) + ",\n  \"scenes\": {\n";
    for (int s = 0; s < SCENE_COUNT; s++)
        j += std::string("    \"") + SCENES[s].name + "\": {\"noop_cpu_ms\": " + row(r.noopMs[s]) +
             ", \"llvmpipe_frame_ms\": " + row(r.fullMs[s]) + ", \"llvmpipe_1440x1080_frame_ms\": " +
             row(r.fullHdMs[s]) + "}" + (s + 1 < SCENE_COUNT ? ",\n" : "\n");
    double ratio = r.growthCountsMs > 0 ? r.growthTestMs / r.growthCountsMs : 0;
    j += "  },\n  \"peak_rss_mb\": " + (r.peakMB >= 0 ? number(r.peakMB) : std::string("null")) +
         ",\n  \"aggregate\": {\"walkers\": 25000, \"neighbour_test_ms\": " + number(r.growthTestMs) +
         ", \"neighbour_counts_ms\": " + number(r.growthCountsMs) + ", \"ratio\": " + number(ratio) +
         ", \"identical\": " + (r.aggregatesIdentical ? "true" : "false") + "}\n}\n";
    return writeOutputFile(
        path, [&](FILE* f) { return std::fwrite(j.data(), 1, j.size(), f) == j.size(); }, error);
}
