#pragma once

// The benchmark families; each registers its cases with Google Benchmark under the names
// the summary (bench_main.cpp) reads.

#include <string>

namespace wt::bench {

// "fft-forward/<isa>", "fft-forward/literal", "fft-forward/fftw-complex",
// "fft-pair/<isa>", "fft-pair/literal", "fft-pair/fftw-r2c-c2r".
void registerTransformBenchmarks();

// "block/<kind>/<strength>", "block-literal/<kind>/<strength>", "block/no-effect",
// "remap/<kind>/<strength>", "remap-plan-made/<kind>/<strength>",
// "remap-table/<kind>/<strength>", "remap-loop/<kind>/<strength>", "capture-480/<effect>",
// "capture-480-worst-call/<effect>".
void registerVoicePathBenchmarks();

// The strengths the block benchmarks run at, as they appear in the names.
inline constexpr float kBenchStrengths[] = {0.25f, 1.0f};

std::string strengthName(float strength);

}  // namespace wt::bench
