// veltra_bench: Google Benchmark's own main. Run from the build directory
// under a display (the level needs its assets and an OpenGL context):
//   xvfb-run -a ./veltra_bench
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
