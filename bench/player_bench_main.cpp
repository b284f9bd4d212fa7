// The bench binary's entry: one per binary, shared by every benchmark file.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
