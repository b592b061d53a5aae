#pragma once

#include <benchmark/benchmark.h>

namespace kd::bench {

// The virtual display's flood benchmarks.
void registerFloodBenchmarks();

} // namespace kd::bench
