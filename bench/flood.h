#pragma once

#include <benchmark/benchmark.h>

namespace kd::bench {

// Resident memory of a running process, in MiB (0 when it cannot be read).
double residentMiB(long long pid);

// The virtual display's flood benchmarks.
void registerFloodBenchmarks();

} // namespace kd::bench
