#pragma once

namespace kd::bench {

// The headless display as a service: latency from a TCP write to its screen event, time to the
// ready event beside the window's start, --print's memory and throughput against a bare read, and
// the memory of eight displays side by side.
void registerHeadlessBenchmarks();

} // namespace kd::bench
